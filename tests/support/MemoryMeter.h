// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The peak of what operator new has handed out while a meter runs: the core tests replace
// the global operator new (tests/core/common/MemoryMeter.cpp) so that a test can bound the
// memory a load or export takes without a stopwatch or the system's own counters.

#include <cstddef>

class MemoryMeter {
public:
    // Counts from now: the peak starts at what is allocated from here on.
    MemoryMeter();
    ~MemoryMeter();
    MemoryMeter(const MemoryMeter&) = delete;
    MemoryMeter& operator=(const MemoryMeter&) = delete;

    // The most that was allocated at one time since the meter started.
    std::size_t Peak() const;
};
