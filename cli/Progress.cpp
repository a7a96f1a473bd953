// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/Progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#define KESTROVA_ISATTY(fd) _isatty(fd)
#else
#include <unistd.h>
#define KESTROVA_ISATTY(fd) isatty(fd)
#endif

TerminalProgress::TerminalProgress(QTextStream& err) : err_(err), terminal_(KESTROVA_ISATTY(fileno(stderr)) != 0) {}

void TerminalProgress::Show(double vMin, double vMax, const std::string& vCaption)
{
    if (!terminal_)
        return;
    min_ = vMin;
    max_ = vMax;
    caption_ = vCaption;
    shownPercent_ = -1;
    Update(vMin, vCaption);
}

void TerminalProgress::Update(double vValue, const std::string& vCaption)
{
    if (!terminal_)
        return;
    if (!vCaption.empty())
        caption_ = vCaption;
    const int percent = max_ > min_ ? static_cast<int>(100 * (vValue - min_) / (max_ - min_)) : 0;
    if (percent == shownPercent_)
        return;  // a terminal redrawn per item would slow a long export down
    shownPercent_ = percent;
    err_ << '\r' << QString::fromStdString(caption_) << ' ' << percent << '%';
    err_.flush();
}

void TerminalProgress::Hide()
{
    if (shownPercent_ >= 0)
        err_ << "\r\x1b[K";  // clears the line, so that what follows starts clean
    err_.flush();
    shownPercent_ = -1;
}
