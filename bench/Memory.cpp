// SPDX-License-Identifier: GPL-3.0-or-later
// The memory half of the benchmarks: the resident size of the program once the style
// viewer has opened a file. The peak is taken from outside (GNU time); the size after
// the open is read here where the system tells it.

#include "bench/Memory.h"

#include <QApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "bench/WindowSupport.h"
#include "ui/windows/frmSTY.h"

namespace bench {

namespace {

// Kilobytes resident now, or -1 where the system does not say.
long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == "VmRSS:") {
            long kb = -1;
            status >> kb;
            return kb;
        }
    return -1;
}

}  // namespace

int OpenStyleAndReport(const std::string& path)
{
    const long before = ResidentKilobytes();
    BenchDesktop desktop;
    frmSTY window;
    ShowAndOpen(desktop, window, path);
    std::printf("resident before open: %ld kB\nresident after open: %ld kB\n", before, ResidentKilobytes());
    if (!desktop.platform.messages.empty()) {
        std::fprintf(stderr, "the style viewer refused %s\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace bench
