// A car file's load holds memory near the file's size, however its lines and cars are
// cut: the most it has allocated at once is measured by counting operator new.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "core/gci/clsGCI.h"
#include "core/io/FileError.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/TempDir.h"

namespace {

// Blocks carry their size in front; blocks made while counting is off carry kUncounted.
constexpr std::size_t kFront = alignof(std::max_align_t), kUncounted = ~std::size_t{0};
std::atomic<bool> counting{false};
std::atomic<std::size_t> live{0}, peak{0};

void* Allocate(std::size_t n)
{
    auto* block = static_cast<std::size_t*>(std::malloc(n + kFront));
    if (!block)
        throw std::bad_alloc();
    *block = counting ? n : kUncounted;
    if (*block != kUncounted) {
        const std::size_t now = live += n;
        for (std::size_t high = peak; now > high && !peak.compare_exchange_weak(high, now);) {
        }
    }
    return reinterpret_cast<char*>(block) + kFront;
}

void Release(void* p) noexcept
{
    if (!p)
        return;
    auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - kFront);
    if (*block != kUncounted)
        live -= *block;
    std::free(block);
}

// The most `work` held at once of what it allocated.
template <class Work>
std::size_t PeakOf(Work&& work)
{
    live = peak = 0;
    counting = true;
    work();
    counting = false;
    return peak;
}

}  // namespace

void* operator new(std::size_t n)
{
    return Allocate(n);
}
void* operator new[](std::size_t n)
{
    return Allocate(n);
}
void operator delete(void* p) noexcept
{
    Release(p);
}
void operator delete[](void* p) noexcept
{
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    Release(p);
}
void operator delete[](void* p, std::size_t) noexcept
{
    Release(p);
}

TEST(GCIMemory, ALoadPeaksWithinFourTimesTheFileAndRefusalsComeBeforeTheCarsAreBuilt)
{
    // The limits are 4 x the size + 64 MB for files up to 16 MB; here a quarter of that
    // size, with a sixty-fourth of the constant.
    constexpr std::size_t kSize = 4 << 20;
    const auto repeated = [](std::string unit) {
        while (unit.size() < kSize)
            unit += unit;
        return unit.substr(0, kSize);
    };
    std::string car = gci_sample::CarBlock(0);
    car.resize(car.size() - 2);  // no empty line: the short lines below are the car's too
    const std::pair<std::string, bool> files[] = {
        {repeated("\n"), false},                           // line feeds alone: no car file
        {repeated("{c}\n1 {M}\n\n"), false},               // tiny cars, far more than 32767
        {car + repeated("a\n").substr(car.size()), true},  // one car of two million lines
    };
    TempDir dir;
    for (const auto& [bytes, loads] : files) {
        TempDir::Write(dir.File("big.gci"), bytes);
        clsGCI cars;
        bool loaded = false;
        const std::size_t held = PeakOf([&] {
            try {
                cars.LoadCars(dir.File("big.gci"));
                loaded = true;
            } catch (const FileError&) {
            }
        });
        EXPECT_EQ(loaded, loads) << bytes.substr(0, 12);
        EXPECT_LE(held, 4 * kSize + (1 << 20)) << bytes.substr(0, 12);
    }
}
