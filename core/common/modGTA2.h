#pragma once
// The model-facing half of the shared module: progress and user messages.
// The models call these free functions; the program installs where they go.
// With nothing installed they do nothing, so the models run headless.

#include <functional>
#include <string>

class ProgressReporter {
public:
    virtual ~ProgressReporter() = default;
    virtual void Show(double vMin, double vMax, const std::string& vCaption) = 0;
    virtual void Update(double vValue, const std::string& vCaption) = 0;
    virtual void Hide() = 0;
};

// Not owned; pass nullptr to remove. Returns the reporter it replaces.
ProgressReporter* InstallProgressReporter(ProgressReporter* reporter);

void ShowProgress(double vMin, double vMax, const std::string& vCaption);
void UpdateProgress(double vValue, const std::string& vCaption);
void HideProgress();

// Shows progress for its lifetime, so the window is hidden on every path out,
// exceptions included.
class ProgressScope {
public:
    ProgressScope(double vMin, double vMax, const std::string& vCaption);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
};

enum class MessageIcon { None, Information, Warning, Critical };

using UserMessageSink = std::function<void(const std::string& text, const std::string& title, MessageIcon icon)>;

// Returns the sink it replaces; an empty sink drops messages.
UserMessageSink InstallUserMessageSink(UserMessageSink sink);
void ShowUserMessage(const std::string& text, const std::string& title, MessageIcon icon);

// Where a window of the given outer extent starts so that it sits in the
// middle of the screen. Halves are taken before subtracting, in floating point.
double CenteredPosition(double screenExtent, double windowExtent);
