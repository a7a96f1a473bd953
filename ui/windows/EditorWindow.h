// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QPointer>
#include <QString>
#include <QUndoStack>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

#include "core/common/Progress.h"
#include "ui/platform/Messages.h"
#include "ui/platform/RecentFiles.h"

class BackgroundJob;

class QAbstractButton;
class QAction;
class QKeySequence;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// What a window tells the user. An empty title stands for the window's caption.
struct UserMessage {
    UserMessage(QString text, QString title = {}, MessageIcon icon = MessageIcon::Warning)
        : text(std::move(text)), title(std::move(title)), icon(icon)
    {
    }
    QString text;
    QString title;
    MessageIcon icon;
};

// What the working windows share: the one document state (its path, whether it has
// unsaved edits, the undo stack), long work off the window's thread with the window busy
// meanwhile, telling the user what failed, and the files they open.
//
// A load, save, import or export runs on a worker (RunInBackground) while the window's
// thread goes on painting and showing the progress. While the window is busy every
// command is off (UpdateCommands), undo, redo, drops and recent files are refused, and a
// close waits for the work (or stops work that can stop, and closes after it), so no
// command can start in the middle of the work; the result is handed to the window on its
// own thread when the work is over.
class EditorWindow : public QWidget {
    Q_OBJECT
public:
    // The message for one failure.
    using Wording = std::function<UserMessage(const std::exception&)>;

    bool Busy() const { return busy_; }

    // Unsaved edits: the window's undo stack is away from where the last load or save left
    // it, or an edit waits to be taken in.
    bool IsModified() const { return !undo_.isClean() || HasPendingEdit(); }
    // Calls `proceed` once unsaved edits may go: at once when there are none, when the
    // user answers Discard to Save / Discard / Cancel, or after the save the user asked
    // for has worked. Never on Cancel, on a failed save, on a pending edit that could not
    // be taken in, or while busy.
    void WhenEditsMayGo(std::function<void()> proceed);

    // Opens `path` as the File Open command would (asking about unsaved edits first).
    // Windows that open files override it; the others ignore the request.
    virtual void OpenDocument(const QString& path) { (void)path; }

    // The caption without the unsaved-edits mark.
    QString Caption() const;

protected:
    // The window's messages are headed by its caption.
    EditorWindow(QWidget* parent, Qt::WindowFlags flags);
    ~EditorWindow() override;

    // Puts each command on or off for the window's state, Busy() included. Called
    // whenever the window becomes busy or stops being busy.
    virtual void UpdateCommands() = 0;

    // Runs `work(Progress&)` on a worker thread with the window busy; false, starting
    // nothing, when it is busy already. `work` must not touch widgets, nor anything the
    // window's thread changes meanwhile: it gets what it needs by value, and a model it
    // reads through a shared pointer of its own (nothing edits the model while the window
    // is busy, and the model outlives a window destroyed in the middle of the work). On
    // the window's thread afterwards, `done` gets what `work` returned (nothing for void)
    // once the busy state has ended; when `work` or `done` threw, the user is told
    // `failure` instead (whose %1 stands for what went wrong; a FileError names its file),
    // and a stop the user asked for is told nothing. A `cancellable` job's progress window
    // offers Cancel, and closing the window stops the job and closes it afterwards.
    template <class Work, class Done>
    bool RunInBackground(const QString& failure, Work work, Done done, bool cancellable = false)
    {
        return RunInBackground(Explained(failure), std::move(work), std::move(done), cancellable);
    }
    template <class Work, class Done>
    bool RunInBackground(const Wording& failure, Work work, Done done, bool cancellable = false)
    {
        using Result = std::invoke_result_t<Work&, Progress&>;
        if constexpr (std::is_void_v<Result>) {
            return StartJob(failure, std::move(work), std::move(done), cancellable);
        } else {
            auto result = std::make_shared<std::optional<Result>>();
            return StartJob(
                failure, [work = std::move(work), result](Progress& p) mutable { result->emplace(work(p)); },
                [done = std::move(done), result]() mutable { done(std::move(**result)); }, cancellable);
        }
    }
    // The job running now, if any (for its progress window).
    BackgroundJob* Job() const;

    // Runs `work` on the window's thread, not busy: for work too short to report progress.
    // Failures as RunInBackground's. True when `work` finished.
    bool Attempt(const QString& failure, const std::function<void()>& work);
    bool Attempt(const Wording& word, const std::function<void()>& work);
    // `failure` with its %1 replaced by what went wrong.
    static Wording Explained(const QString& failure);

    void Tell(const QString& text, MessageIcon icon = MessageIcon::Warning);
    void Tell(const UserMessage& message);

    // A status line across the bottom of the window, with Undo and Redo buttons at its
    // right, that tells the result of each command. The window grows by its height: call
    // it right after the window has its default size, before anything is anchored.
    void AddStatusLine();
    // Shows `text` in the status line (a window without one shows nothing).
    void ShowStatus(const QString& text);
    QLabel* StatusLine() const { return status_; }
    // Ctrl+Z and Ctrl+Shift+Z (Ctrl+Y) typed in `box` go to the document's undo stack
    // once the box has nothing of its own to undo or redo.
    void ShareUndoWith(QLineEdit* box);
    // Each of `keys` presses `button` (which does nothing while the button is off).
    void PressWith(QAbstractButton* button, const QList<QKeySequence>& keys);

    // Edits go through this stack as QUndoCommands; the caption marks the window while
    // it is not clean.
    QUndoStack& UndoStack() { return undo_; }
    // Saves the document for WhenEditsMayGo's Save and calls `saved` once it is saved; a
    // save that fails has told the user and calls nothing.
    virtual void SaveDocument(std::function<void()> saved) { saved(); }
    // An edit the user has begun but not confirmed (text typed into a box) is taken in as
    // an undoable edit before anything could lose it: before WhenEditsMayGo asks, before undo
    // and redo, and before the window's own commands. False when it cannot be taken (the
    // user was told why): the command does not go on.
    virtual bool TakePendingEdit() { return true; }
    // Whether such an edit waits; it counts as unsaved.
    virtual bool HasPendingEdit() const { return false; }
    // Shows the unsaved-edits mark as IsModified() has it, for a pending edit that changed.
    void UpdateModifiedMark();

    // Turns on dropping files on the window and a "Recent Files" menu on `recentButton`,
    // with the list stored under `recentKey`. Both go to OpenDocument.
    void EnableDocuments(const QString& recentKey, QPushButton* recentButton);
    // A document was loaded from `path` (or saved under it): no unsaved edits, and the
    // path goes first in the recent files.
    void DocumentLoaded(const QString& path);
    void DocumentSaved(const QString& path);
    // Where the document was last loaded from or saved to; empty before that.
    const QString& DocumentPath() const { return documentPath_; }

    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool StartJob(const Wording& failure, std::function<void(Progress&)> work, std::function<void()> done,
                  bool cancellable);
    void SetBusy(bool busy);
    // Closes the window after the user let its edits go.
    void CloseAgreed();
    void FillRecentMenu();
    // Undo or redo, once a pending edit is taken in; nothing while busy.
    void Step(void (QUndoStack::*move)());
    void UpdateStepButtons();
    void OpenRecent(const QString& path);

    bool busy_ = false;
    QPointer<BackgroundJob> job_;
    // A close the user confirmed: the next close event goes through.
    bool closeAgreed_ = false;
    // A close asked for while a cancellable job ran: it comes again once the job is over.
    bool closeWhenIdle_ = false;
    // Undo and redo, off while busy.
    QList<QAction*> steps_;
    QUndoStack undo_;
    QString documentPath_;
    std::unique_ptr<RecentFiles> recent_;
    QPushButton* recentButton_ = nullptr;
    QLabel* status_ = nullptr;
    QToolButton* undoButton_ = nullptr;
    QToolButton* redoButton_ = nullptr;
};
