#pragma once
// Small helpers shared by the window tests.

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

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
