// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A long job's progress as one line on standard error, rewritten in place; only when
// standard error is a terminal, so that logs and pipes get no clutter.

#include <QString>
#include <QTextStream>

#include <string>

#include "core/common/Progress.h"

class TerminalProgress : public Progress {
public:
    explicit TerminalProgress(QTextStream& err);
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    void Show(double vMin, double vMax, const std::string& vCaption) override;
    void Update(double vValue, const std::string& vCaption) override;
    void Hide() override;

private:
    QTextStream& err_;
    bool terminal_;
    double min_ = 0, max_ = 0;
    int shownPercent_ = -1;
    std::string caption_;
};
