#pragma once
// Small helpers shared by the window tests.

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMouseEvent>
#include <QSet>
#include <QWidget>
#include <functional>

#include "core/common/modGTA2.h"

// Saves a picture of the window when KESTROVA_SCREENSHOTS names a folder.
inline void SaveScreenshot(QWidget& window, const QString& name)
{
    const QString folder = qEnvironmentVariable("KESTROVA_SCREENSHOTS");
    if (!folder.isEmpty())
        window.grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}

// Delivers a pointer move straight to the widget, as the window system would.
inline void MovePointerOver(QWidget* widget, QPoint at = QPoint(2, 2))
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Counts the events of one kind a widget receives, e.g. palette or font changes.
class EventCounter : public QObject {
public:
    EventCounter(QObject* target, QEvent::Type type) : type_(type) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == type_)
            ++count;
        return false;
    }

private:
    QEvent::Type type_;
};

// The open top-level windows whose objectName is `name`.
inline QList<QWidget*> TopLevelsNamed(const QString& name)
{
    QList<QWidget*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && w->isVisible())
            found << w;
    return found;
}

// While it lives, stands in for the progress window: at each update of a load or save
// it counts the given commands that are enabled, notes the caption, and runs `meddle`,
// what a user might try in the middle of it.
class BusyWatch : public ProgressReporter {
public:
    BusyWatch(QList<QWidget*> commands, std::function<void()> meddle)
        : commands_(std::move(commands)), meddle_(std::move(meddle)), previous_(InstallProgressReporter(this))
    {
    }
    ~BusyWatch() override { InstallProgressReporter(previous_); }
    void Show(double, double, const std::string&) override {}
    void Hide() override {}
    void Update(double, const std::string& caption) override
    {
        captions.insert(QString::fromStdString(caption));
        for (QWidget* command : commands_)
            enabled += command->isEnabled() ? 1 : 0;
        ++updates;
        meddle_();
        QCoreApplication::processEvents();
    }
    QSet<QString> captions;
    int updates = 0, enabled = 0;

private:
    QList<QWidget*> commands_;
    std::function<void()> meddle_;
    ProgressReporter* previous_;
};
