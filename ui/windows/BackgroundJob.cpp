// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/BackgroundJob.h"

#include <QtConcurrent/QtConcurrentRun>
#include <utility>

#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/frmProgress.h"

namespace {

// One frame of a 60 Hz screen: how often the window's thread looks at the progress.
constexpr int kFrameMs = 16;
// Work that is over sooner is never shown a progress window: it would only flash.
constexpr qint64 kShownAfterMs = 300;

std::function<void()>& Gate()
{
    static std::function<void()> gate;
    return gate;
}

}  // namespace

void JobProgress::Show(double min, double max, const std::string& caption)
{
    const std::lock_guard lock(mutex_);
    state_ = {true, min, max, min, caption};
}

void JobProgress::Update(double value, const std::string& caption)
{
    const std::lock_guard lock(mutex_);
    state_.value = value;
    if (state_.caption != caption)
        state_.caption = caption;
}

void JobProgress::Hide()
{
    const std::lock_guard lock(mutex_);
    state_.shown = false;
}

JobProgress::State JobProgress::Now() const
{
    const std::lock_guard lock(mutex_);
    return state_;
}

void BackgroundJob::SetGate(std::function<void()> gate)
{
    Gate() = std::move(gate);
}

BackgroundJob::BackgroundJob(QWidget* owner, Work work, bool cancellable, Finished finished)
    : QObject(owner), owner_(owner), cancellable_(cancellable), finished_(std::move(finished))
{
    connect(&watcher_, &QFutureWatcher<void>::finished, this, &BackgroundJob::Over);
    connect(&look_, &QTimer::timeout, this, &BackgroundJob::Look);
    look_.start(kFrameMs);
    running_.start();
    // What the work throws is kept for the window's thread, which alone tells the user.
    watcher_.setFuture(QtConcurrent::run([this, work = std::move(work), gate = Gate()] {
        try {
            if (gate)
                gate();
            work(progress_);
        } catch (...) {
            error_ = std::current_exception();
        }
    }));
}

BackgroundJob::~BackgroundJob()
{
    watcher_.disconnect(this);
    progress_.RequestStop();
    watcher_.waitForFinished();
    delete window_;
}

frmProgress* BackgroundJob::Window() const
{
    return window_;
}

void BackgroundJob::Look()
{
    const JobProgress::State now = progress_.Now();
    if (!now.shown || running_.elapsed() < kShownAfterMs) {
        if (window_ && !now.shown)
            window_->hide();
        return;
    }
    if (!window_) {
        window_ = new frmProgress;
        window_->SetCancellable(cancellable_);
        connect(window_, &frmProgress::cancelRequested, this, &BackgroundJob::Cancel);
    }
    if (window_->Minimum() != static_cast<float>(now.min) || window_->Maximum() != static_cast<float>(now.max))
        window_->SetRange(static_cast<float>(now.min), static_cast<float>(now.max));
    window_->Update(now.value, FromUtf8(now.caption));
    if (!window_->isVisible())
        window_->show();
}

void BackgroundJob::Over()
{
    look_.stop();
    delete window_;
    // The owner may start the next job, or close, from what it is told: this job is done.
    const Finished finished = std::move(finished_);
    const std::exception_ptr error = error_;
    deleteLater();
    finished(error);
}
