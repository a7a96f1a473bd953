// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/EditorWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <optional>

#include "ui/windows/BackgroundJob.h"

#include "ui/platform/Anchors.h"
#include "ui/platform/Platform.h"
#include "ui/platform/WindowPlaces.h"
#include "ui/platform/modGTA2Qt.h"

namespace {

// What the user is to be told when `work` fails; nothing when it worked, or when the user
// stopped it.
std::optional<UserMessage> Failed(const EditorWindow::Wording& word, const std::function<void()>& work)
{
    try {
        work();
    } catch (const Cancelled&) {
        return std::nullopt;
    } catch (const std::exception& e) {
        return word(e);
    }
    return std::nullopt;
}

const QLatin1String kModifiedMark("[*]");

// The first local file among the dragged ones, or an empty string.
QString DroppedFile(const QMimeData* data)
{
    if (data)
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                return url.toLocalFile();
    return {};
}

const QKeySequence kRedoKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};

bool IsUndoKey(const QKeyEvent* key)
{
    return key->matches(QKeySequence::Undo);
}

bool IsRedoKey(const QKeyEvent* key)
{
    const QKeySequence typed(key->keyCombination());
    return key->matches(QKeySequence::Redo) || typed == kRedoKeys[0] || typed == kRedoKeys[1];
}

// Lets the window's undo and redo shortcuts through a line edit that has nothing of its
// own to undo or redo: the edit otherwise takes those keys for itself.
class UndoSharer : public QObject {
public:
    explicit UndoSharer(QLineEdit* box) : QObject(box), box_(box) { box->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool toWindow =
            (IsUndoKey(key) && !box_->isUndoAvailable()) || (IsRedoKey(key) && !box_->isRedoAvailable());
        if (toWindow)
            event->ignore();
        return toWindow;
    }

private:
    QLineEdit* box_;
};

}  // namespace

EditorWindow::EditorWindow(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    connect(&undo_, &QUndoStack::cleanChanged, this, [this] { UpdateModifiedMark(); });
    connect(&undo_, &QUndoStack::indexChanged, this, [this] { UpdateStepButtons(); });
    KeepPlace(this);

    const auto step = [this](const QList<QKeySequence>& keys, void (QUndoStack::*move)()) {
        auto* action = new QAction(this);
        action->setShortcuts(keys);
        connect(action, &QAction::triggered, this, [this, move] { Step(move); });
        addAction(action);
        steps_ << action;
    };
    step({QKeySequence::Undo}, &QUndoStack::undo);
    step({kRedoKeys[0], kRedoKeys[1]}, &QUndoStack::redo);
}

void EditorWindow::Step(void (QUndoStack::*move)())
{
    // The undo commands touch the model, which a running job may be reading.
    if (!busy_ && TakePendingEdit())
        (undo_.*move)();
}

void EditorWindow::AddStatusLine()
{
    constexpr int kHeight = 24;
    const QSize grown = size() + QSize(0, kHeight);
    setFixedSize(grown);
    const int top = grown.height() - kHeight;
    const auto button = [this, top](const char* name, const QString& caption, int left) {
        auto* b = Child<QToolButton>(this, name, {left, top + 1, 44, kHeight - 2});
        b->setText(caption);
        b->setAutoRaise(true);
        Anchor(b, Follow::Right | Follow::Bottom);
        return b;
    };
    undoButton_ = button("cmdUndo", QStringLiteral("Undo"), grown.width() - 92);
    redoButton_ = button("cmdRedo", QStringLiteral("Redo"), grown.width() - 46);
    undoButton_->setToolTip(QStringLiteral("Undo the last change (Ctrl+Z)"));
    redoButton_->setToolTip(QStringLiteral("Redo the change undone last (Ctrl+Shift+Z)"));
    connect(undoButton_, &QToolButton::clicked, this, [this] { Step(&QUndoStack::undo); });
    connect(redoButton_, &QToolButton::clicked, this, [this] { Step(&QUndoStack::redo); });
    status_ = Child<QLabel>(this, "lblStatus", {4, top + 2, grown.width() - 100, kHeight - 4});
    status_->setFrameShape(QFrame::Panel);
    status_->setFrameShadow(QFrame::Sunken);
    Anchor(status_, Follow::Bottom | Follow::Width);
    UpdateStepButtons();
}

void EditorWindow::UpdateModifiedMark()
{
    setWindowModified(IsModified());
    UpdateStepButtons();
}

void EditorWindow::ShowStatus(const QString& text)
{
    if (status_)
        status_->setText(text);
}

void EditorWindow::ShareUndoWith(QLineEdit* box)
{
    new UndoSharer(box);
}

void EditorWindow::PressWith(QAbstractButton* button, const QList<QKeySequence>& keys)
{
    for (const QKeySequence& key : keys)
        connect(new QShortcut(key, this), &QShortcut::activated, button, &QAbstractButton::click);
}

void EditorWindow::UpdateStepButtons()
{
    if (!undoButton_)
        return;
    undoButton_->setEnabled(!busy_ && (undo_.canUndo() || HasPendingEdit()));
    redoButton_->setEnabled(!busy_ && undo_.canRedo());
}

EditorWindow::~EditorWindow()
{
    // The job may be reading what the window holds: it ends first.
    delete job_;
    // The stack empties itself as it goes, after the window's own parts are gone.
    undo_.disconnect(this);
}

QString EditorWindow::Caption() const
{
    return QString(windowTitle()).remove(kModifiedMark);
}

void EditorWindow::WhenEditsMayGo(std::function<void()> proceed)
{
    if (busy_ || !TakePendingEdit())
        return;
    if (!IsModified())
        return proceed();
    const QString name = documentPath_.isEmpty() ? Caption() : QFileInfo(documentPath_).fileName();
    const QString question = QStringLiteral("%1 has unsaved changes.\n\nSave them first?").arg(name);
    switch (CurrentPlatform().AskToSave(this, question, Caption())) {
        case SaveChoice::Save:
            return SaveDocument([this, proceed = std::move(proceed)] {
                if (!IsModified())
                    proceed();
            });
        case SaveChoice::Discard:
            return proceed();
        case SaveChoice::Cancel:
            return;
    }
}

void EditorWindow::EnableDocuments(const QString& recentKey, QPushButton* recentButton)
{
    setAcceptDrops(true);
    recent_ = std::make_unique<RecentFiles>(recentKey);
    recentButton_ = recentButton;
    auto* menu = new QMenu(recentButton);
    menu->setObjectName(QStringLiteral("mnuRecent"));
    recentButton->setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, &EditorWindow::FillRecentMenu);
    FillRecentMenu();
}

void EditorWindow::FillRecentMenu()
{
    QMenu* menu = recentButton_->menu();
    menu->clear();
    const QStringList entries = recent_->Entries();
    for (int i = 0; i < entries.size(); ++i) {
        const QString& path = entries[i];
        QAction* entry = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        entry->setData(path);
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
    if (entries.isEmpty())
        menu->addAction(QStringLiteral("(none)"))->setEnabled(false);
}

void EditorWindow::OpenRecent(const QString& path)
{
    if (busy_)
        return;
    if (!QFileInfo::exists(path)) {
        recent_->Remove(path);
        FillRecentMenu();
        Tell(QStringLiteral("%1 no longer exists; it was taken off the recent files.").arg(path));
        return;
    }
    OpenDocument(path);
}

void EditorWindow::DocumentLoaded(const QString& path)
{
    undo_.clear();
    undo_.setClean();
    DocumentSaved(path);
}

void EditorWindow::DocumentSaved(const QString& path)
{
    undo_.setClean();
    documentPath_ = path;
    if (recent_) {
        recent_->Add(path);
        FillRecentMenu();
    }
}

EditorWindow::Wording EditorWindow::Explained(const QString& failure)
{
    return [failure](const std::exception& e) { return UserMessage{failure.arg(FromUtf8(e.what()))}; };
}

bool EditorWindow::StartJob(const Wording& failure, std::function<void(Progress&)> work, std::function<void()> done,
                            bool cancellable)
{
    if (busy_)
        return false;
    SetBusy(true);
    job_ = new BackgroundJob(this, std::move(work), cancellable, [this, failure, done](std::exception_ptr error) {
        SetBusy(false);
        // What `done` throws is told like a failure of the work: it must not leave the slot.
        const std::optional<UserMessage> message = Failed(failure, [&] {
            if (error)
                std::rethrow_exception(error);
            done();
        });
        if (message)
            Tell(*message);
        if (std::exchange(closeWhenIdle_, false))
            close();
    });
    return true;
}

BackgroundJob* EditorWindow::Job() const
{
    return job_;
}

void EditorWindow::SetBusy(bool busy)
{
    busy_ = busy;
    if (recentButton_)
        recentButton_->setEnabled(!busy);
    for (QAction* step : steps_)
        step->setEnabled(!busy);
    UpdateStepButtons();
    UpdateCommands();
}

bool EditorWindow::Attempt(const QString& failure, const std::function<void()>& work)
{
    return Attempt(Explained(failure), work);
}

bool EditorWindow::Attempt(const Wording& word, const std::function<void()>& work)
{
    const std::optional<UserMessage> message = Failed(word, work);
    if (message)
        Tell(*message);
    return !message;
}

void EditorWindow::Tell(const QString& text, MessageIcon icon)
{
    Tell(UserMessage{text, QString(), icon});
}

void EditorWindow::Tell(const UserMessage& message)
{
    const QString title = message.title.isEmpty() ? Caption() : message.title;
    CurrentPlatform().Message(this, message.text, title, message.icon);
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    // A running job may be reading the window's model: the close waits for it, or, when
    // the job can be stopped, stops it and comes again once it is over.
    if (busy_) {
        event->ignore();
        if (job_ && job_->Cancellable()) {
            closeWhenIdle_ = true;
            job_->Cancel();
        }
        return;
    }
    // Unsaved edits are asked about first. Edits the user lets go at once close the window
    // with this event (Qt ignores a close asked for while one is under way); edits saved
    // first close it again once the save is over.
    if (!std::exchange(closeAgreed_, false) && IsModified()) {
        const auto asking = std::make_shared<bool>(true);
        bool agreedNow = false;
        WhenEditsMayGo([this, asking, &agreedNow] {
            if (*asking)
                agreedNow = true;
            else
                CloseAgreed();
        });
        *asking = false;
        if (!agreedNow)
            return event->ignore();
    }
    QWidget::closeEvent(event);
}

void EditorWindow::CloseAgreed()
{
    closeAgreed_ = true;
    close();
}

void EditorWindow::changeEvent(QEvent* event)
{
    // Every caption gets the place where Qt shows the unsaved-edits mark.
    if (event->type() == QEvent::WindowTitleChange && !windowTitle().contains(kModifiedMark))
        setWindowTitle(windowTitle() + kModifiedMark);
    QWidget::changeEvent(event);
}

void EditorWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!busy_ && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void EditorWindow::dropEvent(QDropEvent* event)
{
    const QString path = DroppedFile(event->mimeData());
    if (busy_ || path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over: the open may ask questions, and the system's drag
    // should not wait for them.
    QTimer::singleShot(0, this, [this, path] {
        if (!busy_)
            OpenDocument(path);
    });
}
