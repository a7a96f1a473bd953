#include "core/common/modGTA2.h"

#include <utility>

namespace {
ProgressReporter* g_progress = nullptr;
UserMessageSink g_messages;
}  // namespace

ProgressReporter* InstallProgressReporter(ProgressReporter* reporter)
{
    return std::exchange(g_progress, reporter);
}

void ShowProgress(double vMin, double vMax, const std::string& vCaption)
{
    if (g_progress)
        g_progress->Show(vMin, vMax, vCaption);
}

void UpdateProgress(double vValue, const std::string& vCaption)
{
    if (g_progress)
        g_progress->Update(vValue, vCaption);
}

void HideProgress()
{
    if (g_progress)
        g_progress->Hide();
}

ProgressScope::ProgressScope(double vMin, double vMax, const std::string& vCaption)
{
    ShowProgress(vMin, vMax, vCaption);
}

ProgressScope::~ProgressScope()
{
    HideProgress();
}

UserMessageSink InstallUserMessageSink(UserMessageSink sink)
{
    return std::exchange(g_messages, std::move(sink));
}

void ShowUserMessage(const std::string& text, const std::string& title, MessageIcon icon)
{
    if (g_messages)
        g_messages(text, title, icon);
}

double CenteredPosition(double screenExtent, double windowExtent)
{
    return screenExtent / 2.0 - windowExtent / 2.0;
}
