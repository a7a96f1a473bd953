#pragma once
// What the window benchmarks run on: file dialogs answered by a script in place of the
// desktop, and the real progress window, which runs the program's events on every update.

#include <QApplication>
#include <QString>
#include <string>

#include "bench/BenchSupport.h"
#include "core/common/modGTA2.h"
#include "tests/support/ScriptedPlatform.h"
#include "ui/windows/frmProgress.h"

namespace bench {

class BenchDesktop {
public:
    BenchDesktop() : previous_(InstallProgressReporter(&progress_)) {}
    ~BenchDesktop() { InstallProgressReporter(previous_); }
    BenchDesktop(const BenchDesktop&) = delete;
    BenchDesktop& operator=(const BenchDesktop&) = delete;

    // The next open dialog chooses `path`.
    void WillOpen(const std::string& path) { platform.openAnswers.push_back(QString::fromStdString(path)); }

    ScriptedPlatform platform;

private:
    ProgressWindowReporter progress_;
    ProgressReporter* previous_;
};

// Shows `window` and opens `path` in it as a user would, with every event it causes run.
template <typename Window>
void ShowAndOpen(BenchDesktop& desktop, Window& window, const std::string& path)
{
    window.show();
    desktop.WillOpen(path);
    window.cmdOpen_Click();
    QApplication::processEvents();
}

// From the chosen file to a full window, again and again: the window's own Open.
template <typename Window>
void RegisterWindowOpen(const std::string& name, const std::string& path, std::size_t bytes)
{
    Register(name, bytes, [path](benchmark::State& state) {
        BenchDesktop desktop;
        Window window;
        window.show();
        for (auto _ : state) {
            desktop.WillOpen(path);
            window.cmdOpen_Click();
        }
    });
}

}  // namespace bench
