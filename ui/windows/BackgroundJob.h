// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Long work off the window's thread. A job runs its work on a worker thread
// (QtConcurrent) with a Progress the work reports to; the window's thread looks at that
// progress once a screen frame, shows it in frmProgress once the job has run long enough
// to be noticed, and hears once, through a queued signal, when the work is over. Nothing
// runs the event loop from inside the work, so no click can arrive in the middle of it.

#include <QElapsedTimer>
#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <exception>
#include <functional>
#include <mutex>
#include <string>

#include "core/common/Progress.h"

class QWidget;
class frmProgress;

// What the work has shown, kept for the window's thread to look at: written by the
// worker, read by the window's thread, under one lock.
class JobProgress final : public Progress {
public:
    struct State {
        bool shown = false;
        double min = 0, max = 0, value = 0;
        std::string caption;
    };

    void Show(double min, double max, const std::string& caption) override;
    void Update(double value, const std::string& caption) override;
    void Hide() override;
    State Now() const;

private:
    mutable std::mutex mutex_;
    State state_;
};

class BackgroundJob : public QObject {
    Q_OBJECT
public:
    using Work = std::function<void(Progress&)>;
    // Called on the window's thread when the work is over, with what it threw, if anything.
    using Finished = std::function<void(std::exception_ptr)>;

    // Starts `work` on a worker at once. A `cancellable` job's progress window has a
    // Cancel button, which asks the work to stop (it throws Cancelled at its next update).
    BackgroundJob(QWidget* owner, Work work, bool cancellable, Finished finished);
    // Waits for the work: it may use what the owner holds.
    ~BackgroundJob() override;

    bool Cancellable() const { return cancellable_; }
    void Cancel() { progress_.RequestStop(); }
    // The progress window, once it is shown.
    frmProgress* Window() const;

    // For tests: runs on the worker before every job's work, so that a test can hold a
    // job there and look at the window while it is busy. Empty for none.
    static void SetGate(std::function<void()> gate);

private:
    void Look();
    void Over();

    QWidget* owner_;
    bool cancellable_;
    Finished finished_;
    JobProgress progress_;
    std::exception_ptr error_;
    QFutureWatcher<void> watcher_;
    QTimer look_;
    QElapsedTimer running_;
    QPointer<frmProgress> window_;
};
