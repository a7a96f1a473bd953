// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window tests' one fixture and the helpers they share.

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>

#include <condition_variable>
#include <memory>
#include <mutex>

#include "tests/support/ScriptedPlatform.h"
#include "tests/support/TempDir.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/BackgroundJob.h"

// Holds every job a window starts on its worker, before its work, until Release() (or
// the hold ends): the window stays busy meanwhile, so a test can see what a user could
// and could not do in the middle of a load or save. A held worker may wake after the
// hold is gone: what it waits on is shared with it.
class JobHold {
public:
    JobHold()
    {
        BackgroundJob::SetGate([state = state_] {
            std::unique_lock lock(state->mutex);
            state->released.wait(lock, [&state] { return state->free; });
        });
    }
    ~JobHold()
    {
        Release();
        BackgroundJob::SetGate({});
    }
    void Release()
    {
        const std::lock_guard lock(state_->mutex);
        state_->free = true;
        state_->released.notify_all();
    }

private:
    struct State {
        std::mutex mutex;
        std::condition_variable released;
        bool free = false;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

// What every window test starts from: a scripted desktop, a folder of its own and the
// window under test, shown. Clicks and keys that start work wait until the window is
// idle again, so a test reads on as if the work had run in the click.
template <class Window>
struct UiFixture {
    ScriptedPlatform platform;
    TempDir dir;
    Window w;

    UiFixture() { w.show(); }

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
    // Until the window's work is over (a test that waits longer has hung).
    void Idle() { QTRY_VERIFY_WITH_TIMEOUT(!w.Busy(), 30000); }
    // Presses the button without waiting for the work it starts.
    void Press(const char* button) { QTest::mouseClick(Get<QAbstractButton>(button), Qt::LeftButton); }
    void Click(const char* button)
    {
        Press(button);
        Idle();
    }
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
    // Starts work with `start` and holds it on the worker while `meddle` tries what a user
    // might; then lets it finish. False when the window was not busy meanwhile.
    template <class Start, class Meddle>
    bool WhileBusy(Start start, Meddle meddle)
    {
        bool busy = false;
        {
            JobHold hold;
            start();
            busy = w.Busy();
            meddle();
        }
        Idle();
        return busy;
    }
    // Shortcuts reach the active window only; a dialog may have taken that from it.
    void Press(const QKeySequence& keys)
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keySequence(&w, keys);
    }
    void Keys(const QKeySequence& keys)
    {
        Press(keys);
        Idle();
    }
    // The window's named controls a user could work now: buttons, drop-downs, lists,
    // sliders and boxes that take typing.
    QStringList Usable()
    {
        QStringList usable;
        for (QWidget* control : w.template findChildren<QWidget*>()) {
            const auto* box = qobject_cast<QLineEdit*>(control);
            const bool command = qobject_cast<QAbstractButton*>(control) || qobject_cast<QComboBox*>(control) ||
                                 qobject_cast<QAbstractItemView*>(control) || qobject_cast<QAbstractSlider*>(control) ||
                                 qobject_cast<QAbstractSpinBox*>(control) || (box && !box->isReadOnly());
            const QString name = control->objectName();
            if (command && control->isEnabled() && !name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
                usable << name;
        }
        return usable;
    }
    bool Modified() { return w.isWindowModified() && w.windowTitle().contains("[*]"); }
    QString Status() { return Get<QLabel>("lblStatus")->text(); }
    int Told() const { return static_cast<int>(platform.messages.size()); }
    QString Said() const { return platform.messages.empty() ? QString() : platform.messages.back().text; }
};

// Clicks (or double-clicks) an item of a list or tree where it is shown, as the user would.
inline void ClickIndex(QAbstractItemView* view, const QModelIndex& index, bool twice = false)
{
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    if (twice)
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}
inline void ClickItem(QTreeWidgetItem* item, bool twice = false)
{
    ClickIndex(item->treeWidget(), item->treeWidget()->indexFromItem(item), twice);
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
