#include "tests/support/MemoryMeter.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<bool> counting{false};
std::atomic<std::size_t> live{0}, peak{0};
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
void* operator new(std::size_t n)
{
    auto* block = static_cast<std::size_t*>(std::malloc(n + 2 * sizeof(std::size_t)));
    if (!block)
        throw std::bad_alloc();
    block[0] = counting ? n : 0;
    const std::size_t now = live += block[0];
    std::size_t seen = peak;
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    return block + 2;
}

void operator delete(void* p) noexcept
{
    if (p) {
        live -= static_cast<std::size_t*>(p)[-2];
        std::free(static_cast<std::size_t*>(p) - 2);
    }
}

void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}
