// A text file loads in a few times its own size, however many keys share one text,
// measured by replacing the program's operator new and delete.

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <tuple>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/TempDir.h"

namespace {

// While counting, each block carries its size just before it, so that the bytes held at
// once are known.
std::size_t held = 0, peak = 0;
bool counting = false;
constexpr std::size_t kHeader = __STDCPP_DEFAULT_NEW_ALIGNMENT__;  // keeps blocks aligned as new's are

void* Allocate(std::size_t n)
{
    auto* block = static_cast<std::size_t*>(std::malloc(n + kHeader));
    if (block == nullptr)
        return nullptr;
    *block = counting ? n : 0;
    held += *block;
    peak = std::max(peak, held);
    return reinterpret_cast<char*>(block) + kHeader;
}

void Release(void* p)
{
    if (p == nullptr)
        return;
    auto* block = reinterpret_cast<std::size_t*>(static_cast<char*>(p) - kHeader);
    held -= *block;
    std::free(block);
}

}  // namespace

// libstdc++'s own array and nothrow forms come through these; those a sanitizer puts in
// their place keep to themselves and go uncounted.
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
    Release(p);
}
void operator delete(void* p, std::size_t) noexcept
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
        std::tie(held, peak, counting) = std::tuple(0, 0, true);
        m.ReadGXT(dir.File("texts.gxt"));
        counting = false;
        EXPECT_LT(peak, 4 * bytes.size()) << bytes.size() << " bytes";
        EXPECT_GT(peak, bytes.size());  // the count saw the file read
        EXPECT_EQ(m.GetValue(m.GetEntries()).substr(0, 6), bytes.size() > 1000000 ? "n!Shar" : "Text n");
    }
}
