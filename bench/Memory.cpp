// The memory half of the benchmarks: the resident size of the program once the style
// viewer has opened a file. The peak is taken from outside (GNU time); the size after
// the open is read here where the system tells it.

#include "bench/Memory.h"

#include <QApplication>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/modGTA2.h"
#include "tests/support/ScriptedPlatform.h"
#include "windows/frmProgress.h"
#include "windows/frmSTY.h"

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
    {
        ScriptedPlatform platform;
        ProgressWindowReporter progress;
        ProgressReporter* previous = InstallProgressReporter(&progress);
        frmSTY window;
        window.show();
        platform.openAnswers.push_back(QString::fromStdString(path));
        window.cmdOpen_Click();
        QApplication::processEvents();
        std::printf("resident before open: %ld kB\nresident after open: %ld kB\n", before, ResidentKilobytes());
        const bool refused = !platform.messages.empty();
        InstallProgressReporter(previous);
        if (refused) {
            std::fprintf(stderr, "the style viewer refused %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

}  // namespace bench
