// SPDX-License-Identifier: GPL-3.0-or-later
// Loads are bounded by what the formats can hold, never by what a file claims.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/gci/clsGCI.h"
#include "core/gmp/CityMap.h"
#include "core/gmp/clsGMP.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "tests/support/LittleEndian.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

namespace {

// A file of `size` bytes that takes no disk space beyond `start`.
std::string Sparse(const TempDir& dir, const std::string& name, const std::string& start, uint64_t size)
{
    const std::string file = dir.File(name);
    TempDir::Write(file, start);
    std::filesystem::resize_file(PathFromUtf8(file), size);
    return file;
}

constexpr uint64_t kMB = 1 << 20;

// Bytes then a number, built by appending: GCC 12 at -O3 warns falsely of a sum of two
// temporary strings.
std::string Head(const char* bytes, std::size_t n, const std::string& number)
{
    std::string head(bytes, n);
    head += number;
    return head;
}

}  // namespace

TEST(LoadLimits, AFileFarLargerThanItsFormatIsRefusedBeforeItIsReadAndLongReadsShowBoundedProgress)
{
    TempDir dir;
    const std::tuple<const char*, uint64_t, const char*, std::function<void(const std::string&)>> cases[] = {
        {"cars.gci", 16, "car file", [](const std::string& f) { clsGCI().LoadCars(f); }},
        {"texts.gxt", 64, "text file", [](const std::string& f) { clsGXT().ReadGXT(f); }},
        {"style.sty", 512, "style file", [](const std::string& f) { clsSTY().LoadSTY(f); }},
        {"anims.gmp", 64, "map file", [](const std::string& f) { clsGMP().LoadMap(f); }},
        {"city.gmp", 64, "map file", [](const std::string& f) { CityMap().Load(f); }},
    };
    for (const auto& [name, megabytes, kind, load] : cases) {
        const uint64_t size = megabytes * kMB + 1;
        const std::string file = Sparse(dir, name, "", size);
        EXPECT_EQ(Thrown<FileError>([&] { load(file); }), file + ": is too large to load: " + std::to_string(size) +
                                                              " bytes, more than any " + kind + " (at most " +
                                                              std::to_string(megabytes) + " MB)");
    }

    // Within the limit, a text file whose key table cannot fit is refused from its header.
    const std::string texts = Sparse(dir, "table.gxt", Head("GBLEd\0TKEY", 10, le::I32(0x7FFFFFF8)), 60 * kMB);
    EXPECT_EQ(Thrown<FileError>([&] { clsGXT().ReadGXT(texts); }),
              texts + ": " + kInvalidGXTMessage +
                  "\nThe key table claims 2,147,483,640 bytes, but the file has 62,914,560 bytes.");
    // A tile chunk of 200 MB holds more tiles than the counts can say: refused by its size.
    const std::string style = Sparse(dir, "tiles.sty", Head("GBST\xBC\x02TILE", 10, le::I32(200 * kMB)), 201 * kMB);
    EXPECT_EQ(Thrown<FileError>([&] { clsSTY().LoadSTY(style); }),
              style + ": chunk \"TILE\" holds 51200 items; at most 32767 are supported");

    // Long reads and walks show progress in bounded steps.
    const std::string big = Sparse(dir, "big.bin", "", 10 * kMB);
    {
        RecordingProgress progress;
        EXPECT_EQ(ReadWholeFile(big, kAnyFile, 0, {}, progress).size(), 10 * kMB);
        ASSERT_GE(progress.calls.size(), 3u);
        EXPECT_EQ(progress.calls.front(), (RecordingProgress::Call{'S', 0, 10.0 * kMB, "Reading..."}));
        EXPECT_EQ(progress.calls[progress.calls.size() - 2],
                  (RecordingProgress::Call{'U', 10.0 * kMB, 0, "Reading..."}));
        EXPECT_TRUE(progress.HiddenAtTheEnd());
    }
    // 200,000 empty chunks: a step is 64 KB or a 200th of the file, not a chunk.
    std::string chunks;
    for (int i = 0; i < 200000; ++i)
        chunks += le::Chunk("EMPT", "");
    const std::function<void(const std::string&, Progress&)> parsers[] = {
        [](const std::string& bytes, Progress& p) { clsSTY().ParseSTY(AsBytes(bytes), "x.sty", p); },
        [](const std::string& bytes, Progress& p) { clsGMP().ParseMap(AsBytes(bytes), "x.gmp", p); },
    };
    for (const std::string& header : {Head("GBST\xBC\x02", 6, ""), Head("GBMP\xF4\x01", 6, "")}) {
        RecordingProgress progress;
        parsers[header[2] == 'M'](header + chunks, progress);
        EXPECT_GE(progress.calls.size(), 20u);  // 1.6 MB: 25 steps of 64 KB
        EXPECT_LE(progress.calls.size(), 28u) << header;
    }
}
