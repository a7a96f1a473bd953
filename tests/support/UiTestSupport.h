#pragma once
// The window tests' one fixture and the helpers they share.

#include <QAbstractButton>
#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <functional>

#include "core/common/modGTA2.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmProgress.h"

// What every window test starts from: a scripted desktop, a folder of its own, the
// window under test, shown, and the real progress window, which runs the program's
// events at each update. At each update the fixture also counts the `commands` that
// are enabled and runs `meddle`: what a user might try in the middle of a load or save.
template <class Window>
struct UiFixture : ProgressReporter {
    ScriptedPlatform platform;
    ProgressWindowReporter progress;
    ProgressReporter* previousProgress = InstallProgressReporter(this);
    TempDir dir;
    Window w;
    QList<QWidget*> commands;
    std::function<void()> meddle = [] {};
    int updates = 0, enabled = 0;

    UiFixture() { w.show(); }
    ~UiFixture() override { InstallProgressReporter(previousProgress); }

    void Show(double from, double to, const std::string& caption) override { progress.Show(from, to, caption); }
    void Hide() override { progress.Hide(); }
    void Update(double value, const std::string& caption) override
    {
        ++updates;
        for (QWidget* command : commands)
            enabled += command->isEnabled() ? 1 : 0;
        meddle();
        progress.Update(value, caption);
    }

    template <class T = QWidget>
    T* Get(const char* name)
    {
        return w.template findChild<T*>(QString::fromLatin1(name));
    }
    std::string Write(const std::string& name, const std::string& bytes)
    {
        TempDir::Write(dir.File(name), bytes);
        return dir.File(name);
    }
    void Click(const char* button) { QTest::mouseClick(Get<QAbstractButton>(button), Qt::LeftButton); }
    // Clicks `button` with `path` ready for the file dialog it shows.
    void Open(const std::string& path, const char* button = "cmdOpen")
    {
        platform.openAnswers.push_back(FromUtf8(path));
        Click(button);
    }
    void Save(const char* button, const std::string& path)
    {
        platform.saveAnswers.push_back(FromUtf8(path));
        Click(button);
    }
    // What a user might try while a load or save runs: each command, then closing the window.
    template <class... Command>
    void TryWhileBusy(Command... command)
    {
        meddle = [this, command...] {
            (std::invoke(command, w), ...);
            w.close();
        };
    }
    // Shortcuts reach the active window only; a dialog may have taken that from it.
    void Keys(const QKeySequence& keys)
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keySequence(&w, keys);
    }
    bool Modified() { return w.isWindowModified() && w.windowTitle().contains("[*]"); }
    int Told() const { return static_cast<int>(platform.messages.size()); }
    QString Said() const { return platform.messages.empty() ? QString() : platform.messages.back().text; }
};

// Clicks (or double-clicks) an item of a tree where it is shown, as the user would.
inline void ClickItem(QTreeWidgetItem* item, bool twice = false)
{
    QTreeWidget* tree = item->treeWidget();
    tree->scrollToItem(item);
    const QPoint at = tree->visualItemRect(item).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
}

// Delivers a pointer move straight to the widget, as the window system would.
inline void MovePointerOver(QWidget* widget, QPoint at = QPoint(2, 2))
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

// Drags the file over the widget and drops it there, as the window system would, then
// runs what the drop left to do.
inline void DropFile(QWidget* widget, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (enter.isAccepted()) {
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &drop);
    }
    QCoreApplication::sendPostedEvents();
}
