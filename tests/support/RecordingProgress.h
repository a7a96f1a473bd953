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

    void Show(double vMin, double vMax, const std::string& vCaption) override
    {
        calls.push_back({'S', vMin, vMax, vCaption});
    }
    void Update(double vValue, const std::string& vCaption) override { calls.push_back({'U', vValue, 0, vCaption}); }
    void Hide() override { calls.push_back({'H', 0, 0, {}}); }

    std::vector<Call> calls;

private:
    ProgressReporter* previous_;
};
