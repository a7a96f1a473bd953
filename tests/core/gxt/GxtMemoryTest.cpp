// A text file loads in a few times its own size, however many keys share one text. The
// heap is measured by replacing the program's operator new and delete: while counting,
// each block remembers its size, so that the bytes held at once are known.

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/TempDir.h"

namespace {

struct Heap {
    std::size_t held = 0, peak = 0;
    bool counting = false;
} heap;

// Room before each block for its counted size, keeping the block aligned as new's are.
constexpr std::size_t kHeader = __STDCPP_DEFAULT_NEW_ALIGNMENT__;

void* Allocate(std::size_t n)
{
    auto* block = static_cast<unsigned char*>(std::malloc(n + kHeader));
    if (block == nullptr)
        return nullptr;
    const std::size_t counted = heap.counting ? n : 0;
    std::memcpy(block, &counted, sizeof counted);
    heap.held += counted;
    heap.peak = std::max(heap.peak, heap.held);
    return block + kHeader;
}

void Release(void* p)
{
    if (p == nullptr)
        return;
    unsigned char* block = static_cast<unsigned char*>(p) - kHeader;
    std::size_t counted = 0;
    std::memcpy(&counted, block, sizeof counted);
    heap.held -= counted;
    std::free(block);
}

// The most `work` held on the heap at once.
template <class Work>
std::size_t PeakOf(Work&& work)
{
    heap = {0, 0, true};
    work();
    heap.counting = false;
    return heap.peak;
}

}  // namespace

void* operator new(std::size_t n)
{
    if (void* p = Allocate(n))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n)
{
    return operator new(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept
{
    return Allocate(n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept
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
void operator delete(void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    Release(p);
}

TEST(GxtMemory, ALoadPeaksUnderFourTimesTheFileHoweverManyKeysShareOneText)
{
    using namespace gxt_test;
    // 100,000 keys of one text: a 64 MB file of 5.6 million such keys, scaled down.
    std::string records;
    for (int k = 0; k < 100000; ++k)
        records += Key(0, std::to_string(1000000 + k));
    const std::string files[] = {File(records, Cells("n!Shared by every key")), FileOf(GameLikeEntries(5000, 60))};
    TempDir dir;
    for (const std::string& bytes : files) {
        TempDir::Write(dir.File("texts.gxt"), bytes);
        clsGXT m;
        const std::size_t peak = PeakOf([&] { m.ReadGXT(dir.File("texts.gxt")); });
        EXPECT_LT(peak, 4 * bytes.size()) << bytes.size() << " bytes";
        EXPECT_GT(peak, bytes.size());  // the count saw the file read
        EXPECT_EQ(m.GetValue(m.GetEntries()).substr(0, 6), bytes.size() > 1000000 ? "n!Shar" : "Text n");
    }
}
