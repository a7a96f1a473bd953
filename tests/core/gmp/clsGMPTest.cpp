// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/gmp/clsGMP.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "tests/support/GmpBytes.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace gmpbytes;

namespace {

// Two animations: 0 has delay 3 and tiles 7, 8; 1 has delay 9 and tile 1.
const std::string kTwoAnims = AnimRecord(1, 3, {7, 8}) + AnimRecord(2, 9, {1});
using Table = std::vector<std::vector<int>>;  // per animation: delay, then its tiles
const Table kTwoAnimsTable{{3, 7, 8}, {9, 1}};

Table Read(const clsGMP& map)
{
    Table rows;
    for (int a = 0; a <= map.Anims(); ++a) {
        rows.push_back({map.AnimDelay(a)});
        for (int f = 0; f < map.AnimFrames(a); ++f)
            rows.back().push_back(map.AnimTileNumber(a, f));
    }
    return rows;
}

void Parse(clsGMP& map, const std::string& bytes, Progress& progress = NoProgress())
{
    map.ParseMap(AsBytes(bytes), "map.gmp", progress);
}

}  // namespace

TEST(Gmp, TheLastAnimChunkWhateverItsCaseIsReadOtherChunksArePassedOverAndFailedLoadsKeepTheTable)
{
    const std::string anim = Chunk("ANIM", kTwoAnims);
    for (const std::string& chunks :
         {Chunk("lGhT", std::string(16, 'A')) + Chunk("AnIm", kTwoAnims),
          Chunk("UMAP", "") + Chunk("ZONE", "ANIM") + anim, Chunk("ANIM", AnimRecords(5)) + Chunk("LGHT", "") + anim}) {
        clsGMP map;
        Parse(map, Header() + chunks);
        EXPECT_EQ(Read(map), kTwoAnimsTable) << chunks.size();
    }
    clsGMP map;  // no table read yet
    EXPECT_THROW(map.Anims(), std::out_of_range);
    Parse(map, Header() + std::string(8, '\0') + anim);  // a chunk type of zero bytes ends the walk, as in a style file
    EXPECT_THROW(Read(map), std::out_of_range);
    std::string big =
        AnimRecord(-2, 200, {40000, 5, 65535, 0}) + AnimRecords(1) + U16(0) + std::string("\x01\0\xFF\0", 4);
    for (int f = 0; f < 255; ++f)  // 255 frames, the most a byte counts
        big += U16(f);
    Parse(map, Header() + Chunk("ANIM", big));
    EXPECT_EQ(Read(map)[0], (std::vector<int>{200, -25536, 5, -1, 0}));
    EXPECT_EQ(Read(map)[1], std::vector<int>{0});  // delay 0, no frames
    EXPECT_EQ(Read(map)[2].back(), 254);
    EXPECT_THROW(map.AnimTileNumber(0, 4), std::out_of_range);
    Parse(map, Header() + Chunk("ANIM", AnimRecords(41)));
    EXPECT_EQ(Read(map)[40], (std::vector<int>{40}));
    Parse(map, Header() + Chunk("UMAP", "xyz"));  // no "ANIM" chunk: the table stays
    EXPECT_EQ(map.Anims(), 40);
    Parse(map, Header() + Chunk("ANIM", ""));
    EXPECT_EQ(map.Anims(), -1);

    // A failed load keeps the table and hides the progress.
    const std::string anims = Chunk("ANIM", AnimRecords(3));
    const std::pair<std::string, std::string> cases[] = {
        {"GBM", "is not a map file: it is shorter than the 6-byte header"},
        {Header() + Chunk("ANIM", AnimRecords(42)), "chunk \"ANIM\" at offset 6 holds more than 41 animations"},
        // A later chunk fails after a good "ANIM" chunk: the good one is not kept either.
        {Header() + anims + Chunk("ANIM", AnimRecords(42)), "chunk \"ANIM\" at offset 38 holds more than 41"},
        // Three bytes left over, which the next chunk's bytes would complete.
        {Header() + Chunk("ANIM", kTwoAnims + "\x01\x02\x03") + Chunk("ZZZZ", std::string(4, '\0')),
         "animation 2 in the chunk \"ANIM\" at offset 6 is cut off by the end of the chunk"},
        {Header() + Chunk("ANIM", kTwoAnims + AnimRecord(0, 1, {5, 6, 7}).substr(0, 10)) + Chunk("PAD!", "abcd"),
         "animation 2 in the chunk \"ANIM\" at offset 6 has 3 frames"},  // 3 frames with room for 2
        {Header() + anims + "LGHT" + I32(32) + std::string(16, '\0'), "chunk \"LGHT\" at offset 38 needs 32 bytes"},
    };
    Parse(map, Header() + Chunk("ANIM", kTwoAnims));
    for (const auto& [bytes, problem] : cases) {
        RecordingProgress progress;
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { Parse(map, bytes, progress); }), "map.gmp: " + problem);
        EXPECT_EQ(Read(map), kTwoAnimsTable) << problem;
        EXPECT_TRUE(progress.HiddenAtTheEnd()) << problem;
    }
    TempDir dir;  // the file itself is read whole, the same way
    TempDir::Write(dir.File("map.gmp"), Header() + Chunk("LGHT", std::string(16, '\0')) + anims);
    map.LoadMap(dir.File("map.gmp"));
    EXPECT_EQ(map.Anims(), 2);
}
