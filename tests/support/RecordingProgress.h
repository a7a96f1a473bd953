#pragma once
// Records every progress call a model makes, in order, for the duration of a scope.

#include <string>
#include <vector>

#include "core/common/modGTA2.h"

class RecordingProgress : public ProgressReporter {
public:
    struct Call {
        char kind;  // 'S'how, 'U'pdate, 'H'ide
        double a;
        double b;
        std::string caption;
        bool operator==(const Call&) const = default;
    };

    RecordingProgress() : previous_(InstallProgressReporter(this)) {}
    ~RecordingProgress() override { InstallProgressReporter(previous_); }

    void Show(double min, double max, const std::string& text) override { calls.push_back({'S', min, max, text}); }
    void Update(double value, const std::string& caption) override { calls.push_back({'U', value, 0, caption}); }
    void Hide() override { calls.push_back({'H', 0, 0, {}}); }
    // Whether the window, if shown, was hidden again at the end.
    bool HiddenAtTheEnd() const { return calls.empty() || calls.back().kind == 'H'; }

    std::vector<Call> calls;

private:
    ProgressReporter* previous_;
};
