#pragma once
// What the window benchmarks run on: file dialogs answered by a script in place of the
// desktop, and a wait until the window's work on its worker is over and its result shown.

#include <QApplication>
#include <QString>
#include <string>

#include "bench/BenchSupport.h"
#include "tests/support/ScriptedPlatform.h"

namespace bench {

class BenchDesktop {
public:
    // The next open dialog chooses `path`.
    void WillOpen(const std::string& path) { platform.openAnswers.push_back(QString::fromStdString(path)); }

    ScriptedPlatform platform;
};

// Runs the program's events until the window is idle again: an open is over when the file
// read on the worker is shown.
template <typename Window>
void UntilIdle(const Window& window)
{
    while (window.Busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Shows `window` and opens `path` in it as a user would, with every event it causes run.
template <typename Window>
void ShowAndOpen(BenchDesktop& desktop, Window& window, const std::string& path)
{
    window.show();
    desktop.WillOpen(path);
    window.cmdOpen_Click();
    UntilIdle(window);
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
            UntilIdle(window);
        }
    });
}

}  // namespace bench
