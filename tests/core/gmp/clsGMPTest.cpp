#include <gtest/gtest.h>

#include <stdexcept>

#include "core/gmp/clsGMP.h"
#include "core/io/FileError.h"
#include "tests/support/GmpBytes.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace gmpbytes;

namespace {

// Two animations: 0 has delay 3 and tiles 7, 8; 1 has delay 9 and tile 1.
const std::string kTwoAnims = AnimRecord(1, 3, {7, 8}) + AnimRecord(2, 9, {1});
// Per animation: delay, then its tiles; "none" when there is no table.
const std::vector<std::vector<int>> kTwoAnimsTable{{3, 7, 8}, {9, 1}};

std::vector<std::vector<int>> Read(const clsGMP& map)
{
    std::vector<std::vector<int>> rows;
    for (int a = 0; a <= map.Anims(); ++a) {
        rows.push_back({map.AnimDelay(a)});
        for (int f = 0; f < map.AnimFrames(a); ++f)
            rows.back().push_back(map.AnimTileNumber(a, f));
    }
    return rows;
}

class GmpFile : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes)
    {
        TempDir::Write(dir.File("map.gmp"), bytes);
        return dir.File("map.gmp");
    }
    clsGMP Loaded(const std::string& bytes)
    {
        clsGMP map;
        map.LoadMap(Write(bytes));
        return map;
    }
    TempDir dir;
};

}  // namespace

TEST_F(GmpFile, WalksChunksWhateverTheTagCaseAndOrder)
{
    const std::string light = Chunk("LGHT", std::string(32, '\x11')), anim = Chunk("ANIM", kTwoAnims);
    for (const std::string& chunks : {
             light + anim, anim + light, Chunk("anim", kTwoAnims),
             Chunk("lGhT", std::string(16, 'A')) + Chunk("AnIm", kTwoAnims),
             Chunk("UMAP", "") + Chunk("ZONE", "ANIM") + anim,          // unknown chunks, empty or not, are passed over
             Chunk("LGHT", std::string(20, 'x')) + anim,                // not whole light records: passed over whole
             anim + "DMAP" + I32(1000) + "short",                       // an unknown chunk past the end ends the walk
             Chunk("ANIM", AnimRecords(5)) + Chunk("LGHT", "") + anim,  // the last "ANIM" chunk wins
         })
        EXPECT_EQ(Read(Loaded(Header() + chunks)), kTwoAnimsTable) << chunks.size();

    RecordingProgress progress;
    const std::string bytes = Header() + Chunk("zone", "abc") + anim;
    Loaded(bytes);
    const std::vector<RecordingProgress::Call> expected{{'S', 1, static_cast<double>(bytes.size()), "Loading..."},
                                                        {'U', 14, 0, "Loading Section zone..."},  // 6 + 8
                                                        {'U', 25, 0, "Loading Section ANIM..."},  // + 3 + 8
                                                        {'H', 0, 0, ""}};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(GmpFile, RecordsHoldSignedTilesAndUnsignedDelaysAndFrames)
{
    std::string big = U16(0) + '\x01' + '\0' + '\xFF' + '\0';  // 255 frames, the most a byte counts
    for (int f = 0; f < 255; ++f)
        big += U16(f);
    clsGMP map = Loaded(Header() + Chunk("ANIM", AnimRecord(-2, 200, {40000, 5, 65535, 0}, 0xAA, 0xBB) +
                                                     AnimRecords(1) + big));  // then delay 0, no frames
    EXPECT_EQ(Read(map)[0], (std::vector<int>{200, -25536, 5, -1, 0}));
    EXPECT_EQ(Read(map)[1], std::vector<int>{0});
    EXPECT_EQ(map.AnimFrames(2), 255);
    EXPECT_EQ(map.AnimTileNumber(2, 254), 254);
    for (auto [a, f] : {std::pair{0, 4}, {0, -1}, {1, 0}, {3, 0}, {-1, 0}})
        EXPECT_THROW(map.AnimTileNumber(a, f), std::out_of_range) << a << "," << f;
    EXPECT_THROW(map.AnimFrames(3), std::out_of_range);
    EXPECT_THROW(map.AnimDelay(-1), std::out_of_range);

    // The table takes 41 records.
    clsGMP full = Loaded(Header() + Chunk("ANIM", AnimRecords(41)));
    EXPECT_EQ(full.Anims(), 40);
    for (int a = 0; a <= 40; ++a)
        EXPECT_EQ(Read(full)[static_cast<std::size_t>(a)].size(), static_cast<std::size_t>(1 + a % 5)) << a;
    EXPECT_EQ(full.AnimDelay(40), 40);
    EXPECT_EQ(full.AnimTileNumber(39, 3), 3903);
}

TEST_F(GmpFile, WithoutATableEveryQueryFailsAndAnEmptyChunkGivesAnEmptyTable)
{
    clsGMP map;
    EXPECT_THROW(map.Anims(), std::out_of_range);
    EXPECT_THROW(map.AnimFrames(0), std::out_of_range);
    EXPECT_THROW(map.AnimDelay(0), std::out_of_range);
    EXPECT_THROW(map.AnimTileNumber(0, 0), std::out_of_range);
    map.LoadMap(Write(Header() + Chunk("LGHT", std::string(16, '\0'))));  // no "ANIM" chunk: no table ...
    EXPECT_THROW(map.Anims(), std::out_of_range);
    map.LoadMap(Write(Header() + Chunk("ANIM", kTwoAnims)));
    map.LoadMap(Write(Header() + Chunk("UMAP", "xyz")));  // ... and an earlier one stays
    EXPECT_EQ(Read(map), kTwoAnimsTable);

    clsGMP empty = Loaded(Header() + Chunk("ANIM", kTwoAnims) + Chunk("ANIM", ""));
    EXPECT_EQ(empty.Anims(), -1);
    EXPECT_THROW(empty.AnimFrames(0), std::out_of_range);
    EXPECT_THROW(empty.AnimDelay(0), std::out_of_range);
}

TEST_F(GmpFile, FailedLoadsKeepTheTableAndHideTheProgress)
{
    const std::string anims = Chunk("ANIM", AnimRecords(3));
    const std::pair<std::string, std::string> cases[] = {
        {"GBM", "shorter than the 6-byte header"},
        {Header() + anims + "ANI", "chunk header at offset"},
        {Header() + Chunk("ANIM", AnimRecords(42)), "more than 41 animations"},
        // A later chunk fails after a good "ANIM" chunk: the good one is not kept either.
        {Header() + anims + Chunk("ANIM", AnimRecords(42)), "more than 41"},
        // Three bytes left over, which the next chunk's bytes would complete.
        {Header() + Chunk("ANIM", kTwoAnims + "\x01\x02\x03") + Chunk("ZZZZ", std::string(4, '\0')),
         "animation 2 in the chunk \"ANIM\" at offset 6 is cut off"},
        {Header() + Chunk("ANIM", kTwoAnims + U16(0) + '\x01' + '\0' + '\x03' + '\0' + U16(5)) + Chunk("PAD!", "abcd"),
         "animation 2 in the chunk \"ANIM\" at offset 6 has 3 frames"},  // 3 frames with room for 1
        {Header() + "UMAP" + I32(-1) + Chunk("ANIM", kTwoAnims), "has a negative size (-1)"},
        {Header() + "anim" + I32(INT32_MIN), "negative size"},
        {Header() + "ANIM" + I32(20) + AnimRecord(0, 1, {2}), "needs 20 bytes but only 8 remain"},
        {Header() + Chunk("ANIM", AnimRecords(2)) + "LGHT" + I32(32) + std::string(16, '\0'),
         "chunk \"LGHT\" at offset"},
    };
    for (const auto& [bytes, problem] : cases) {
        clsGMP map = Loaded(Header() + Chunk("ANIM", kTwoAnims));
        const std::string file = Write(bytes);
        RecordingProgress progress;
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { map.LoadMap(file); }), file + ": ");
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { map.LoadMap(file); }), problem);
        EXPECT_EQ(Read(map), kTwoAnimsTable) << problem;
        EXPECT_TRUE(progress.calls.empty() || (progress.calls.front().kind == 'S' && progress.calls.back().kind == 'H'))
            << problem;
    }
    // A missing file is refused before any progress is shown.
    clsGMP map = Loaded(Header() + Chunk("ANIM", kTwoAnims));
    RecordingProgress progress;
    EXPECT_THROW(map.LoadMap(dir.File("missing.gmp")), FileError);
    EXPECT_TRUE(progress.calls.empty());
    EXPECT_EQ(Read(map), kTwoAnimsTable);
}
