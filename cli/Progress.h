#pragma once
// A long job's progress as one line on standard error, rewritten in place; only when
// standard error is a terminal, so that logs and pipes get no clutter.

#include <QString>
#include <QTextStream>

#include <string>

#include "core/common/modGTA2.h"

class TerminalProgress : public ProgressReporter {
public:
    explicit TerminalProgress(QTextStream& err);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show(double vMin, double vMax, const std::string& vCaption) override;
    void Update(double vValue, const std::string& vCaption) override;
    void Hide() override;

private:
    QTextStream& err_;
    ProgressReporter* previous_ = nullptr;
    bool installed_ = false;
    double min_ = 0, max_ = 0;
    int shownPercent_ = -1;
    std::string caption_;
};
