// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shared by the fuzz targets and by the core test that replays their saved findings:
// a check throws PropertyViolation when a reader breaks a promise, and lets any
// exception that is not a documented refusal escape.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"

// Deliberately not a runtime_error, so it can never pass for a refused file.
class PropertyViolation : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

inline void Require(bool ok, const std::string& what)
{
    if (!ok)
        throw PropertyViolation(what);
}

template <class Query>
bool ThrowsOutOfRange(Query&& query)
{
    try {
        query();
    } catch (const std::out_of_range&) {
        return true;
    }
    return false;
}

// Runs a load. A refusal must be a std::runtime_error whose message names the file;
// its message is returned. Nothing is returned for an accepted file.
template <class Load>
std::optional<std::string> Refusal(const std::string& file, Load&& load)
{
    try {
        load();
    } catch (const std::runtime_error& e) {
        const std::string message = e.what();
        Require(message.find(file) != std::string::npos, "the refusal does not name the file: " + message);
        return message;
    }
    return std::nullopt;
}

// Refusal(), also requiring the progress window to be shown at most once and hidden
// at the end, whatever happened.
template <class Load>
std::optional<std::string> RefusalWithProgress(const std::string& file, Load&& load)
{
    RecordingProgress progress;
    const auto refusal = Refusal(file, load);
    const auto count = [&](char kind) {
        return std::count_if(progress.calls.begin(), progress.calls.end(),
                             [&](const RecordingProgress::Call& c) { return c.kind == kind; });
    };
    Require(count('S') <= 1 && count('S') == count('H') && progress.HiddenAtTheEnd(),
            "the progress window was not shown once and hidden at the end");
    return refusal;
}

// For the fuzz targets: any escaping exception is a finding. Say what it was before
// aborting, so the crash report carries it.
template <class Check>
void RunFuzzCheck(Check&& check)
{
    try {
        check();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fuzz check failed: %s\n", e.what());
        std::abort();
    }
}

// A target's whole body: `check` runs on the input as bytes named `name`, with a
// scratch folder for what it saves.
template <class Check>
int FuzzOneInput(const uint8_t* data, std::size_t size, const char* name, Check&& check)
{
    static const TempDir scratch;
    RunFuzzCheck([&] { check(std::span<const uint8_t>(data, size), name, scratch); });
    return 0;
}
