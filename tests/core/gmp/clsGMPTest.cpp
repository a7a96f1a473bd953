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
// Per animation: delay, then its tiles.
using Table = std::vector<std::vector<int>>;
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

class Gmp : public ::testing::Test {
protected:
    clsGMP& Load(const std::string& bytes)
    {
        map.ParseMap(AsBytes(bytes), "map.gmp");
        return map;
    }
    clsGMP map;
};

}  // namespace

TEST_F(Gmp, WalksChunksWhateverTheTagCaseAndOrder)
{
    const std::string light = Chunk("LGHT", std::string(32, '\x11')), anim = Chunk("ANIM", kTwoAnims);
    for (const std::string& chunks : {
             light + anim, anim + light, Chunk("lGhT", std::string(16, 'A')) + Chunk("AnIm", kTwoAnims),
             Chunk("UMAP", "") + Chunk("ZONE", "ANIM") + anim,          // unknown chunks, empty or not, are passed over
             anim + "DMAP" + I32(1000) + "short",                       // an unknown chunk past the end ends the walk
             Chunk("ANIM", AnimRecords(5)) + Chunk("LGHT", "") + anim,  // the last "ANIM" chunk wins
         }) {
        clsGMP fresh;
        fresh.ParseMap(AsBytes(Header() + chunks), "map.gmp");
        EXPECT_EQ(Read(fresh), kTwoAnimsTable) << chunks.size();
    }
    clsGMP zeros;  // a chunk type of zero bytes ends the walk, as in a style file
    zeros.ParseMap(AsBytes(Header() + std::string(8, '\0') + anim), "map.gmp");
    EXPECT_THROW(Read(zeros), std::out_of_range);

    RecordingProgress progress;
    const std::string bytes = Header() + Chunk("zone", "abc") + anim;
    Load(bytes);
    const std::vector<RecordingProgress::Call> expected{{'S', 1, static_cast<double>(bytes.size()), "Loading..."},
                                                        {'U', 14, 0, "Loading Section zone..."},  // 6 + 8
                                                        {'H', 0, 0, ""}};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(Gmp, RecordsHoldSignedTilesAndUnsignedDelaysAndFramesUpTo41Animations)
{
    std::string big = U16(0) + '\x01' + '\0' + '\xFF' + '\0';  // 255 frames, the most a byte counts
    for (int f = 0; f < 255; ++f)
        big += U16(f);
    Load(Header() + Chunk("ANIM", AnimRecord(-2, 200, {40000, 5, 65535, 0}, 0xAA, 0xBB) + AnimRecords(1) + big));
    EXPECT_EQ(Read(map)[0], (std::vector<int>{200, -25536, 5, -1, 0}));
    EXPECT_EQ(Read(map)[1], std::vector<int>{0});  // delay 0, no frames
    EXPECT_EQ(Read(map)[2].back(), 254);
    EXPECT_THROW(map.AnimTileNumber(0, 4), std::out_of_range);

    EXPECT_EQ(Load(Header() + Chunk("ANIM", AnimRecords(41))).Anims(), 40);
    EXPECT_EQ(Read(map)[39], (std::vector<int>{39, 3900, 3901, 3902, 3903}));
    Load(Header() + Chunk("UMAP", "xyz"));  // no "ANIM" chunk: the table stays
    EXPECT_EQ(map.Anims(), 40);
    EXPECT_EQ(Load(Header() + Chunk("ANIM", "")).Anims(), -1);
    EXPECT_THROW(map.AnimFrames(0), std::out_of_range);
    EXPECT_THROW(clsGMP().Anims(), std::out_of_range);  // no table read yet
}

TEST_F(Gmp, FailedLoadsKeepTheTableAndHideTheProgress)
{
    const std::string anims = Chunk("ANIM", AnimRecords(3));
    const std::pair<std::string, std::string> cases[] = {
        {"GBM", "is not a map file: it is shorter than the 6-byte header"},
        {Header() + anims + "ANI", "the chunk header at offset 38 is cut off by the end of the file"},
        {Header() + Chunk("ANIM", AnimRecords(42)), "chunk \"ANIM\" at offset 6 holds more than 41 animations"},
        // A later chunk fails after a good "ANIM" chunk: the good one is not kept either.
        {Header() + anims + Chunk("ANIM", AnimRecords(42)), "chunk \"ANIM\" at offset 38 holds more than 41"},
        // Three bytes left over, which the next chunk's bytes would complete.
        {Header() + Chunk("ANIM", kTwoAnims + "\x01\x02\x03") + Chunk("ZZZZ", std::string(4, '\0')),
         "animation 2 in the chunk \"ANIM\" at offset 6 is cut off by the end of the chunk"},
        {Header() + Chunk("ANIM", kTwoAnims + AnimRecord(0, 1, {5, 6, 7}).substr(0, 10)) + Chunk("PAD!", "abcd"),
         "animation 2 in the chunk \"ANIM\" at offset 6 has 3 frames"},  // 3 frames with room for 2
        {Header() + "anim" + I32(INT32_MIN), "chunk \"anim\" at offset 6 has a negative size (-2147483648)"},
        {Header() + "ANIM" + I32(20) + AnimRecord(0, 1, {2}),
         "chunk \"ANIM\" at offset 6 needs 20 bytes but only 8 remain"},
        {Header() + Chunk("ANIM", AnimRecords(2)) + "LGHT" + I32(32) + std::string(16, '\0'),
         "chunk \"LGHT\" at offset 28 needs 32 bytes but only 16 remain"},
    };
    Load(Header() + Chunk("ANIM", kTwoAnims));
    for (const auto& [bytes, problem] : cases) {
        RecordingProgress progress;
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { Load(bytes); }), "map.gmp: " + problem);
        EXPECT_EQ(Read(map), kTwoAnimsTable) << problem;
        EXPECT_TRUE(progress.HiddenAtTheEnd()) << problem;
    }
    TempDir dir;  // the file itself is read piece by piece, the same way
    EXPECT_THROW(map.LoadMap(dir.File("missing.gmp")), FileError);
    TempDir::Write(dir.File("map.gmp"),
                   Header() + Chunk("LGHT", std::string(16, '\0')) + Chunk("ANIM", AnimRecords(3)));
    map.LoadMap(dir.File("map.gmp"));
    EXPECT_EQ(map.Anims(), 2);
}
