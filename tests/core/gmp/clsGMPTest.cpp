#include <gtest/gtest.h>

#include <stdexcept>

#include "models/gmp/clsGMP.h"
#include "models/io/FileError.h"
#include "tests/support/GmpBytes.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"

using namespace gmpbytes;

namespace {

// Two animations: 0 has delay 3 and tiles 7, 8; 1 has delay 9 and tile 1.
const std::string kTwoAnims = AnimRecord(1, 3, {7, 8}) + AnimRecord(2, 9, {1});

struct Table {
    int anims;
    std::vector<std::vector<int>> rows;  // per animation: delay, then its tiles
    bool operator==(const Table&) const = default;
};

Table Read(const clsGMP& map)
{
    Table t{map.Anims(), {}};
    for (int a = 0; a <= t.anims; ++a) {
        std::vector<int> row{map.AnimDelay(a)};
        for (int f = 0; f < map.AnimFrames(a); ++f)
            row.push_back(map.AnimTileNumber(a, f));
        t.rows.push_back(row);
    }
    return t;
}

const Table kTwoAnimsTable{1, {{3, 7, 8}, {9, 1}}};

class GmpFile : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes, const std::string& name = "map.gmp")
    {
        const std::string file = dir.File(name);
        TempDir::Write(file, bytes);
        return file;
    }
    clsGMP Loaded(const std::string& bytes)
    {
        clsGMP map;
        map.LoadMap(Write(bytes));
        return map;
    }
    // Loads a refused file over a model holding kTwoAnims: the message names the file
    // and contains `problem`, the table is untouched and the progress window is gone.
    void ExpectRefused(const std::string& bytes, const std::string& problem)
    {
        clsGMP map = Loaded(Header() + Chunk("ANIM", kTwoAnims));
        const std::string file = Write(bytes, "bad.gmp");
        RecordingProgress progress;
        try {
            map.LoadMap(file);
            ADD_FAILURE() << "accepted, expected: " << problem;
        } catch (const FileError& e) {
            EXPECT_EQ(e.File(), file);
            EXPECT_NE(std::string(e.what()).find(problem), std::string::npos) << e.what();
        }
        EXPECT_EQ(Read(map), kTwoAnimsTable);
        if (!progress.calls.empty()) {
            EXPECT_EQ(progress.calls.front().kind, 'S');
            EXPECT_EQ(progress.calls.back().kind, 'H');
        }
    }

    TempDir dir;
};

}  // namespace

TEST_F(GmpFile, WalksChunksWhateverTheTagCaseAndOrder)
{
    const std::string light = Chunk("LGHT", std::string(32, '\x11'));  // two 16-byte light records
    const std::string anim = Chunk("ANIM", kTwoAnims);
    EXPECT_EQ(Read(Loaded(Header() + light + anim)), kTwoAnimsTable);
    EXPECT_EQ(Read(Loaded(Header() + anim + light)), kTwoAnimsTable);
    EXPECT_EQ(Read(Loaded(Header() + Chunk("anim", kTwoAnims))), kTwoAnimsTable);
    EXPECT_EQ(Read(Loaded(Header() + Chunk("lGhT", std::string(16, 'A')) + Chunk("AnIm", kTwoAnims))),
              kTwoAnimsTable);
    // Unknown chunks, empty or not, are passed over and the next one is read.
    EXPECT_EQ(Read(Loaded(Header() + Chunk("UMAP", "") + Chunk("ZONE", "ANIM") + anim)), kTwoAnimsTable);
    // A light chunk that is not a whole number of records is still passed over whole.
    EXPECT_EQ(Read(Loaded(Header() + Chunk("LGHT", std::string(20, 'x')) + anim)), kTwoAnimsTable);
}

TEST_F(GmpFile, ReportsProgressPerChunkWithTheTagAsRead)
{
    const std::string bytes = Header() + Chunk("zone", "abc") + Chunk("ANIM", kTwoAnims);
    const std::string file = Write(bytes);
    RecordingProgress progress;
    clsGMP map;
    map.LoadMap(file);
    const double size = static_cast<double>(bytes.size());
    const std::vector<RecordingProgress::Call> expected{
        {'S', 1, size, "Loading..."},
        {'U', 14, 0, "Loading Section zone..."},  // 6 header + 8 chunk header
        {'U', 25, 0, "Loading Section ANIM..."},  // + 3 data + 8 chunk header
        {'H', 0, 0, ""}};
    EXPECT_EQ(progress.calls, expected);
}

TEST_F(GmpFile, RecordsHoldSignedTilesAndUnsignedDelaysAndFrames)
{
    clsGMP map = Loaded(Header() + Chunk("ANIM",
                                         AnimRecord(-2, 200, {40000, 5, 65535, 0}, 0xAA, 0xBB) +  // 4 frames
                                             AnimRecords(1)));  // delay 0, no frames
    EXPECT_EQ(map.Anims(), 1);
    EXPECT_EQ(map.AnimDelay(0), 200);
    EXPECT_EQ(map.AnimFrames(0), 4);
    EXPECT_EQ(map.AnimTileNumber(0, 0), -25536);
    EXPECT_EQ(map.AnimTileNumber(0, 1), 5);
    EXPECT_EQ(map.AnimTileNumber(0, 2), -1);
    EXPECT_EQ(map.AnimTileNumber(0, 3), 0);
    EXPECT_THROW(map.AnimTileNumber(0, 4), std::out_of_range);
    EXPECT_THROW(map.AnimTileNumber(0, -1), std::out_of_range);
    // A record with 0 frames has no tile numbers.
    EXPECT_EQ(map.AnimFrames(1), 0);
    EXPECT_THROW(map.AnimTileNumber(1, 0), std::out_of_range);
    EXPECT_THROW(map.AnimFrames(2), std::out_of_range);
    EXPECT_THROW(map.AnimDelay(-1), std::out_of_range);

    // A record with 255 frames, the most a byte counts.
    std::string big = Le16(0) + '\x01' + '\0' + '\xFF' + '\0';
    for (int f = 0; f < 255; ++f)
        big += Le16(f);
    clsGMP wide = Loaded(Header() + Chunk("ANIM", big));
    EXPECT_EQ(wide.AnimFrames(0), 255);
    EXPECT_EQ(wide.AnimTileNumber(0, 254), 254);
}

TEST_F(GmpFile, TwelveRecordsAnswerTwelveIndexes)
{
    clsGMP map = Loaded(Header() + Chunk("ANIM", AnimRecords(12)));
    EXPECT_EQ(map.Anims(), 11);
    for (int a = 0; a <= 11; ++a) {
        EXPECT_EQ(map.AnimDelay(a), a);
        EXPECT_EQ(map.AnimFrames(a), a % 5);
        if (a % 5 > 0) {
            EXPECT_EQ(map.AnimTileNumber(a, a % 5 - 1), 100 * a + a % 5 - 1);
        }
    }
    EXPECT_THROW(map.AnimFrames(12), std::out_of_range);
}

TEST_F(GmpFile, TheTableTakesFortyOneRecordsAndRefusesTheFortySecond)
{
    clsGMP full = Loaded(Header() + Chunk("ANIM", AnimRecords(41)));
    EXPECT_EQ(full.Anims(), 40);
    EXPECT_EQ(full.AnimDelay(40), 40);
    ExpectRefused(Header() + Chunk("ANIM", AnimRecords(42)), "more than 41 animations");
}

TEST_F(GmpFile, WithoutATableEveryQueryFails)
{
    clsGMP map;
    EXPECT_THROW(map.Anims(), std::out_of_range);
    EXPECT_THROW(map.AnimFrames(0), std::out_of_range);
    EXPECT_THROW(map.AnimDelay(0), std::out_of_range);
    EXPECT_THROW(map.AnimTileNumber(0, 0), std::out_of_range);
    // A map without an "ANIM" chunk reads no table ...
    map.LoadMap(Write(Header() + Chunk("LGHT", std::string(16, '\0'))));
    EXPECT_THROW(map.Anims(), std::out_of_range);
    // ... and leaves an earlier one alone.
    map.LoadMap(Write(Header() + Chunk("ANIM", kTwoAnims)));
    map.LoadMap(Write(Header() + Chunk("UMAP", "xyz")));
    EXPECT_EQ(Read(map), kTwoAnimsTable);
}

TEST_F(GmpFile, EmptyAnimChunkGivesEmptyTableAndTheLastAnimChunkWins)
{
    clsGMP map = Loaded(Header() + Chunk("ANIM", kTwoAnims) + Chunk("ANIM", ""));
    EXPECT_EQ(map.Anims(), -1);
    EXPECT_THROW(map.AnimFrames(0), std::out_of_range);
    EXPECT_THROW(map.AnimDelay(0), std::out_of_range);

    clsGMP last = Loaded(Header() + Chunk("ANIM", AnimRecords(5)) + Chunk("LGHT", "") + Chunk("ANIM", kTwoAnims));
    EXPECT_EQ(Read(last), kTwoAnimsTable);
}

TEST_F(GmpFile, FailedLoadsKeepTheTableAndHideTheProgress)
{
    // Missing file: refused before any progress is shown.
    clsGMP map = Loaded(Header() + Chunk("ANIM", kTwoAnims));
    {
        RecordingProgress progress;
        EXPECT_THROW(map.LoadMap(dir.File("missing.gmp")), FileError);
        EXPECT_TRUE(progress.calls.empty());
    }
    EXPECT_EQ(Read(map), kTwoAnimsTable);
    ExpectRefused("GBM", "shorter than the 6-byte header");
    ExpectRefused(Header() + Chunk("ANIM", AnimRecords(3)) + "ANI", "chunk header at offset");
    // A later chunk fails after a good "ANIM" chunk: the good one is not kept either.
    ExpectRefused(Header() + Chunk("ANIM", AnimRecords(3)) + Chunk("ANIM", AnimRecords(42)), "more than 41");
}

TEST_F(GmpFile, RecordsMustEndExactlyAtTheEndOfTheirChunk)
{
    // Three bytes left over: not enough for another record header. The next chunk's bytes
    // would complete it if the reader ran on.
    ExpectRefused(Header() + Chunk("ANIM", kTwoAnims + "\x01\x02\x03") + Chunk("ZZZZ", std::string(4, '\0')),
                  "animation 2 in the chunk \"ANIM\" at offset 6 is cut off");
    // A record claiming 3 frames with room for 1.
    ExpectRefused(Header() + Chunk("ANIM", kTwoAnims + Le16(0) + '\x01' + '\0' + '\x03' + '\0' + Le16(5)) + Chunk("PAD!", "abcd"),
                  "animation 2 in the chunk \"ANIM\" at offset 6 has 3 frames");
}

TEST_F(GmpFile, NegativeSizesAndKnownChunksPastTheEndAreRefused)
{
    ExpectRefused(Header() + "UMAP" + Le32(-1) + Chunk("ANIM", kTwoAnims), "has a negative size (-1)");
    ExpectRefused(Header() + "anim" + Le32(INT32_MIN), "negative size");
    ExpectRefused(Header() + "ANIM" + Le32(20) + AnimRecord(0, 1, {2}), "needs 20 bytes but only 8 remain");
    ExpectRefused(Header() + Chunk("ANIM", AnimRecords(2)) + "LGHT" + Le32(32) + std::string(16, '\0'),
                  "chunk \"LGHT\" at offset");
}

TEST_F(GmpFile, AnUnknownChunkPastTheEndEndsTheWalkAndKeepsTheTable)
{
    clsGMP map = Loaded(Header() + Chunk("ANIM", kTwoAnims) + "DMAP" + Le32(1000) + "short");
    EXPECT_EQ(Read(map), kTwoAnimsTable);
}
