#pragma once
#include <QString>
#include <QUndoStack>
#include <QWidget>
#include <exception>
#include <functional>
#include <memory>
#include <utility>

#include "core/common/modGTA2.h"
#include "ui/platform/RecentFiles.h"

class QPushButton;

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

// What the working windows share: being busy, telling the user what failed, unsaved
// edits and the files they open.
//
// A load, save or list fill reports progress, and every progress update runs the
// program's events, so clicks and a close can arrive in the middle of it. While the
// window is busy its commands are off, closing is refused, and a command handler that
// still runs (it checks Busy() first) does nothing.
class EditorWindow : public QWidget {
    Q_OBJECT
public:
    // The message for one failure.
    using Wording = std::function<UserMessage(const std::exception&)>;

    bool Busy() const { return busy_; }

    // Unsaved edits: the window's undo stack is away from where the last load or save left
    // it, or an edit waits to be taken in.
    bool IsModified() const { return !undo_.isClean() || HasPendingEdit(); }
    // With unsaved edits, asks Save / Discard / Cancel. True when the edits may go: there
    // were none, they were saved, or the user discarded them. False on Cancel, on a save
    // that failed, on a pending edit that could not be taken in, and while busy.
    bool MaybeSave();

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

    // Runs `work` with the window busy. When it throws, the busy state ends first and
    // the user is then told `failure`, whose %1 stands for what went wrong (a
    // FileError names its file). True when `work` finished.
    bool Run(const QString& failure, const std::function<void()>& work);
    // The same with a message of the window's own choosing for each failure.
    bool Run(const Wording& word, const std::function<void()>& work);
    // Runs `work` without becoming busy (it reports no progress); failures as Run's.
    bool Attempt(const QString& failure, const std::function<void()>& work);
    bool Attempt(const Wording& word, const std::function<void()>& work);

    void Tell(const QString& text, MessageIcon icon = MessageIcon::Warning);
    void Tell(const UserMessage& message);

    // Edits go through this stack as QUndoCommands; the caption marks the window while
    // it is not clean.
    QUndoStack& UndoStack() { return undo_; }
    // Saves the document for MaybeSave's Save; false when it was not saved (already told).
    virtual bool SaveDocument() { return true; }
    // An edit the user has begun but not confirmed (text typed into a box) is taken in as
    // an undoable edit before anything could lose it: before MaybeSave asks, before undo
    // and redo, and before the window's own commands. False when it cannot be taken (the
    // user was told why): the command does not go on.
    virtual bool TakePendingEdit() { return true; }
    // Whether such an edit waits; it counts as unsaved.
    virtual bool HasPendingEdit() const { return false; }
    // Shows the unsaved-edits mark as IsModified() has it, for a pending edit that changed.
    void UpdateModifiedMark() { setWindowModified(IsModified()); }

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
    class BusyScope;

    void FillRecentMenu();
    void OpenRecent(const QString& path);

    bool busy_ = false;
    QUndoStack undo_;
    QString documentPath_;
    std::unique_ptr<RecentFiles> recent_;
    QPushButton* recentButton_ = nullptr;
};
