// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window benchmarks run on: file dialogs answered by a script in place of the
// desktop, a wait until the window's work on its worker is over and its result shown, and
// the longest the window's thread is kept from its events meanwhile.

#include <QApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <string>

#include "bench/BenchSupport.h"
#include "tests/support/ScriptedPlatform.h"

namespace bench {

class BenchDesktop {
public:
    // The next open dialog chooses `path`.
    void WillOpen(const std::string& path) { platform.openAnswers.push_back(QString::fromStdString(path)); }

    // A window that refused its command or failed in it measured nothing worth a number:
    // the run ends with what the window told.
    void Check(benchmark::State& state) const
    {
        for (const ScriptedPlatform::ShownMessage& message : platform.messages) {
            if (message.icon == MessageIcon::Warning || message.icon == MessageIcon::Critical) {
                state.SkipWithError(message.text.toUtf8().constData());
                return;
            }
        }
    }

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

// From the chosen file to a full window painted, again and again: the window's own Open,
// held to be under `limitMs`.
template <typename Window>
void RegisterWindowOpen(const std::string& name, const Lazy<Input>& in, double limitMs)
{
    Register(name, in, [in](benchmark::State& state) {
        BenchDesktop desktop;
        Window window;
        window.show();
        for (auto _ : state) {
            desktop.WillOpen(in->path);
            window.cmdOpen_Click();
            UntilIdle(window);
            window.repaint();
        }
        desktop.Check(state);
    });
    RegisterLimit({name, 0, limitMs});
}

// The longest the window's thread goes without a turn of its event loop, in milliseconds,
// from the start of `command` until the window is idle again and has had one more turn:
// a 5 ms timer notes each turn. The user's clicks and the window's paints wait that long.
template <typename Window>
double LongestStallMs(const Window& window, const std::function<void()>& command)
{
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    int turns = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longest = std::max(longest, now - last);
        last = now;
        ++turns;
    });
    bool started = false;
    QTimer::singleShot(0, [&] {
        command();
        started = true;
    });
    clock.start();
    tick.start(5);
    while (!started || window.Busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    for (const int seen = turns; turns == seen;)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return static_cast<double>(longest) / 1e6;
}

// The longest stall of the window's thread while `command` runs, once a repetition, held
// to under 50 ms; `ready` sets the window up beforehand and `tidy` clears up before each
// repetition, both unmeasured.
template <typename Window>
void RegisterStall(
    const std::string& name, const Lazy<Input>& in, std::function<void(BenchDesktop&, Window&)> ready,
    std::function<void(BenchDesktop&, Window&)> command, std::function<void()> tidy = [] {})
{
    RegisterTimedByItself(name, in, [ready, command, tidy](benchmark::State& state) {
        BenchDesktop desktop;
        Window window;
        window.show();
        ready(desktop, window);
        for (auto _ : state) {
            tidy();
            state.SetIterationTime(LongestStallMs(window, [&] { command(desktop, window); }) / 1000);
        }
        desktop.Check(state);
    });
    RegisterLimit({name, 0, 50});
}

// The stalls of an open of `in`.
template <typename Window>
void RegisterOpenStall(const std::string& name, const Lazy<Input>& in)
{
    RegisterStall<Window>(
        name, in, [](BenchDesktop&, Window&) {},
        [in](BenchDesktop& desktop, Window& window) {
            desktop.WillOpen(in->path);
            window.cmdOpen_Click();
        });
}

// The stalls of `command` on the window with `in` open (a copy of it for a command that
// writes over the file it has open).
template <typename Window>
void RegisterStallWithOpen(
    const std::string& name, const Lazy<Input>& in, std::function<void(BenchDesktop&, Window&)> command,
    std::function<void()> tidy = [] {})
{
    RegisterStall<Window>(
        name, in, [in](BenchDesktop& desktop, Window& window) { ShowAndOpen(desktop, window, in->path); },
        std::move(command), std::move(tidy));
}

}  // namespace bench
