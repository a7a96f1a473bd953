// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records every progress call a model makes through it, in order.

#include <string>
#include <vector>

#include "core/common/Progress.h"

class RecordingProgress : public Progress {
public:
    struct Call {
        char kind;  // 'S'how, 'U'pdate, 'H'ide
        double a;
        double b;
        std::string caption;
        bool operator==(const Call&) const = default;
    };

    void Show(double min, double max, const std::string& text) override { calls.push_back({'S', min, max, text}); }
    void Update(double value, const std::string& caption) override { calls.push_back({'U', value, 0, caption}); }
    void Hide() override { calls.push_back({'H', 0, 0, {}}); }
    // Whether the window, if shown, was hidden again at the end.
    bool HiddenAtTheEnd() const { return calls.empty() || calls.back().kind == 'H'; }

    std::vector<Call> calls;
};
