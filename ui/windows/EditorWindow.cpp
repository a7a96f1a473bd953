#include "ui/windows/EditorWindow.h"

#include <QCloseEvent>
#include <optional>

#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"

// The window is busy for the scope's lifetime, however the scope is left. Scopes may
// nest: the outer one ends the busy state.
class EditorWindow::BusyScope {
public:
    explicit BusyScope(EditorWindow& window) : window_(window), wasBusy_(window.busy_) { Set(true); }
    ~BusyScope() { Set(wasBusy_); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    void Set(bool busy)
    {
        window_.busy_ = busy;
        window_.UpdateCommands();
    }

    EditorWindow& window_;
    bool wasBusy_;
};

namespace {

// What the user is to be told when `work` fails, or nothing when it worked.
std::optional<UserMessage> Failed(const EditorWindow::Wording& word, const std::function<void()>& work)
{
    try {
        work();
    } catch (const std::exception& e) {
        return word(e);
    }
    return std::nullopt;
}

// `failure` with its %1 replaced by what went wrong.
EditorWindow::Wording Explained(const QString& failure)
{
    return [failure](const std::exception& e) { return UserMessage{failure.arg(FromUtf8(e.what()))}; };
}

}  // namespace

EditorWindow::EditorWindow(QWidget* parent, Qt::WindowFlags flags, QString messageTitle)
    : QWidget(parent, flags), messageTitle_(std::move(messageTitle))
{
}

bool EditorWindow::Run(const QString& failure, const std::function<void()>& work)
{
    return Run(Explained(failure), work);
}

bool EditorWindow::Run(const Wording& word, const std::function<void()>& work)
{
    std::optional<UserMessage> failure;
    {
        BusyScope busy(*this);
        failure = Failed(word, work);
    }
    if (failure)
        Tell(*failure);
    return !failure;
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
    const QString title = !message.title.isEmpty()   ? message.title
                          : !messageTitle_.isEmpty() ? messageTitle_
                                                     : windowTitle();
    CurrentPlatform().Message(this, message.text, title, message.icon);
}

void EditorWindow::closeEvent(QCloseEvent* event)
{
    // The running work uses the window's model further up the stack.
    if (busy_)
        event->ignore();
    else
        QWidget::closeEvent(event);
}
