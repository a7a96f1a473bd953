// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/MemoryMeter.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<std::size_t> live{0}, peak{0};
constexpr std::size_t kHeader = __STDCPP_DEFAULT_NEW_ALIGNMENT__;  // keeps blocks aligned as new's are

void* Allocate(std::size_t n)
{
    auto* block = static_cast<std::size_t*>(std::malloc(n + kHeader));
    if (!block)
        return nullptr;
    *block = counting ? n : 0;
    const std::size_t now = live += *block;
    std::size_t seen = peak;
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return reinterpret_cast<char*>(block) + kHeader;
}
}  // namespace

MemoryMeter::MemoryMeter()
{
    live = peak = 0;
    counting = true;
}

MemoryMeter::~MemoryMeter()
{
    counting = false;
}

std::size_t MemoryMeter::Peak() const
{
    return peak;
}

// Each block carries in front of it the size it counted for (0 while not counting), so
// that a block freed after the meter stopped, or allocated before it started, counts right.
// libstdc++'s array forms come through these; those a sanitizer puts in their place keep
// to themselves and go uncounted.
void* operator new(std::size_t n)
{
    if (void* p = Allocate(n))
        return p;
    throw std::bad_alloc();
}

void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return Allocate(n);
}

void operator delete(void* p) noexcept
{
    if (p) {
        auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - kHeader);
        live -= *block;
        std::free(block);
    }
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}
