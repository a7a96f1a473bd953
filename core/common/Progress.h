// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How far long work has come, and whether its user wants it stopped. Whoever runs the
// work passes a Progress in: the window's worker, the command line's terminal line, or
// NoProgress() when nobody watches. There is no process-wide progress.

#include <atomic>
#include <stdexcept>
#include <string>

// The user asked to stop. Thrown by ProgressScope::Update; the work leaves what it
// changes as it was (a load keeps the previous model, an export stops after the file
// being written).
class Cancelled : public std::runtime_error {
public:
    Cancelled() : std::runtime_error("cancelled") {}
};

class Progress {
public:
    virtual ~Progress() = default;

    // A stage of work running from `min` to `max` under `caption`; Hide ends what is shown.
    virtual void Show(double min, double max, const std::string& caption);
    virtual void Update(double value, const std::string& caption);
    virtual void Hide();

    // Asked by the work on any thread; RequestStop may come from another.
    bool StopRequested() const { return stop_.load(std::memory_order_relaxed); }
    void RequestStop() { stop_.store(true, std::memory_order_relaxed); }

private:
    friend class ProgressScope;
    std::atomic<bool> stop_{false};
    class ProgressScope* current_ = nullptr;  // the innermost stage shown
};

// Shows nothing and is never stopped.
Progress& NoProgress();

// One stage of work for its lifetime. Stages nest: an inner one shows its own range while
// it lives and, when it ends, the outer one is shown again at its last value, so a walk
// over chunks inside a load needs to know nothing of who shows what.
class ProgressScope {
public:
    ProgressScope(Progress& progress, double min, double max, std::string caption);
    ~ProgressScope();
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;

    // Throws Cancelled when the user has asked to stop.
    void Update(double value);
    void Update(double value, const std::string& caption);

private:
    Progress& progress_;
    ProgressScope* outer_;
    double min_, max_, value_;
    std::string caption_;
};
