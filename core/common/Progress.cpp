// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/Progress.h"

#include <utility>

void Progress::Show(double, double, const std::string&) {}
void Progress::Update(double, const std::string&) {}
void Progress::Hide() {}

Progress& NoProgress()
{
    // One a thread: the stages it is shown keep their nesting in it.
    thread_local Progress none;
    return none;
}

ProgressScope::ProgressScope(Progress& progress, double min, double max, std::string caption)
    : progress_(progress),
      outer_(std::exchange(progress.current_, this)),
      min_(min),
      max_(max),
      value_(min),
      caption_(std::move(caption))
{
    progress_.Show(min_, max_, caption_);
}

ProgressScope::~ProgressScope()
{
    progress_.current_ = outer_;
    if (!outer_) {
        progress_.Hide();
        return;
    }
    progress_.Show(outer_->min_, outer_->max_, outer_->caption_);
    progress_.Update(outer_->value_, outer_->caption_);
}

void ProgressScope::Update(double value)
{
    Update(value, caption_);
}

void ProgressScope::Update(double value, const std::string& caption)
{
    if (progress_.StopRequested())
        throw Cancelled();
    value_ = value;
    caption_ = caption;
    progress_.Update(value, caption);
}
