#include <gtest/gtest.h>

#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/io/FileError.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace map_test;

namespace {

// Air everywhere but: (0, 0) and (255, 255) share blocks 2, 3 at levels 1, 2; (1, 0) is
// a full column of 1, 2, 1, 2, ...; (2, 0) has height 2 and offset 2, so nothing. The
// first head carries padding that must be ignored.
BlockData Columns()
{
    BlockData d;
    d.blocks = {{}, {1, 2, 3, 4, 5, 6, 7}, {0, 0, 0, 0, Face(9, 3, true, 2), 0, 0}, {9, 9, 9, 9, 9, 255, 254}};
    d.AddColumn(0, 0, {});
    d.columns[0] |= 0xABCD0000;
    const uint32_t shared = d.AddColumn(3, 1, {2, 3});
    d.Put(0, 0, shared);
    d.Put(255, 255, shared);
    d.Put(1, 0, d.AddColumn(8, 0, {1, 2, 1, 2, 1, 2, 1, 2}));
    d.Put(2, 0, d.AddColumn(2, 2, {}));
    return d;
}

const std::vector<Zone> kZones{{1, 10, 20, 30, 40, "Downtown"}, {7, 0, 0, 0, 0, ""}, {255, 250, 250, 6, 6, "Edge"}};

void ExpectColumns(const CityMap& map)
{
    const std::tuple<int, int, int, uint32_t> cells[] = {
        {0, 0, 0, 0}, {0, 0, 1, 2}, {0, 0, 2, 3}, {0, 0, 3, 0}, {255, 255, 1, 2}, {255, 255, 2, 3}, {1, 0, 0, 1},
        {1, 0, 7, 2}, {2, 0, 1, 0}, {2, 0, 2, 0}, {3, 0, 0, 0}, {128, 200, 5, 0}, {255, 255, 7, 0}, {255, 0, 0, 0}};
    for (const auto& [x, y, z, block] : cells)
        EXPECT_EQ(map.BlockNumberAt(x, y, z), block) << x << "," << y << "," << z;
    ASSERT_EQ(map.BlockCount(), 4u);
    const MapBlock& b = map.Block(1);
    EXPECT_EQ(std::vector<int>(
                  {b.left, b.right, b.top, b.bottom, b.lid, b.arrows, b.slope, map.Block(2).lid, map.Block(3).slope}),
              std::vector<int>({1, 2, 3, 4, 5, 6, 7, Face(9, 3, true, 2), 254}));
}

class CityMapFile : public ::testing::Test {
protected:
    std::string Write(const std::string& bytes)
    {
        TempDir::Write(dir.File("city.gmp"), bytes);
        return dir.File("city.gmp");
    }
    TempDir dir;
};

}  // namespace

TEST_F(CityMapFile, ColumnsOfBothChunkKindsDecodeAlikeAndQueriesOutsideThrow)
{
    const std::string zones = Chunk("ZONE", ZoneBody(kZones));
    BlockData other;  // a different map, to tell which chunk was read
    other.blocks.resize(2);
    other.Put(0, 0, other.AddColumn(1, 0, {1}));
    const std::string dmap = Chunk("DMAP", BlockBody(Columns(), 4)), cmap = Chunk("cmap", BlockBody(Columns(), 2));
    for (const std::string& chunks : {dmap + zones, zones + cmap, Chunk("CMAP", BlockBody(other, 2)) + dmap + zones,
                                      zones + dmap + Chunk("CMAP", "damaged: never read")}) {
        CityMap map;
        map.Load(Write(Header() + Chunk("UMAP", "x") + chunks));
        ExpectColumns(map);
        ASSERT_EQ(map.Zones().size(), 3u);
        const MapZone &first = map.Zones()[0], &last = map.Zones()[2];
        EXPECT_EQ(std::tuple(first.name, first.y, first.w, first.h, last.name, last.type, last.x),
                  std::tuple("Downtown", 20, 30, 40, "Edge", 255, 250));
    }

    CityMap map;  // never loaded: air, no blocks, no zones
    EXPECT_EQ(map.BlockNumberAt(255, 255, 7) + map.BlockCount() + map.Zones().size(), 0u);
    EXPECT_THROW(map.Block(0), std::out_of_range);
    RecordingProgress progress;
    const std::string bytes = MapFile(Columns());
    map.Parse(Bytes(bytes), "in memory");
    ExpectColumns(map);
    EXPECT_TRUE(map.Zones().empty());
    for (auto [x, y, z] : {std::tuple{-1, 0, 0}, {256, 0, 0}, {0, -1, 0}, {0, 256, 0}, {0, 0, -1}, {0, 0, 8}})
        EXPECT_THROW(map.BlockNumberAt(x, y, z), std::out_of_range) << x << "," << y << "," << z;
    EXPECT_THROW(map.Block(4), std::out_of_range);
    EXPECT_THROW(map.Block(UINT32_MAX), std::out_of_range);
    ASSERT_GE(progress.calls.size(), 3u);
    EXPECT_EQ(progress.calls.front(), (RecordingProgress::Call{'S', 0, double(bytes.size()), "Loading..."}));
    EXPECT_EQ(progress.calls.back().kind, 'H');
}

TEST_F(CityMapFile, DamagedFilesAreRefusedNamingTheProblemAndTheMapIsKept)
{
    const auto with = [](uint32_t column, std::vector<uint32_t> more, int wordBytes = 4) {
        BlockData d = Columns();
        d.Put(7, 1, column);
        d.columns.insert(d.columns.end(), more.begin(), more.end());
        return Header() + Chunk(wordBytes == 4 ? "DMAP" : "CMAP", BlockBody(d, wordBytes));
    };
    BlockData counts = Columns();
    counts.statedColumnWords = 1 << 20;
    std::vector<std::pair<std::string, std::string>> cases = {
        {"GBST" + U16(1) + Chunk("DMAP", BlockBody(Columns(), 4)), "does not start with \"GBMP\""},
        {Header() + Chunk("ZONE", ZoneBody(kZones)), "neither a DMAP nor a CMAP"},
        {Header() + "DMA", "chunk header at offset 6 is cut off"},
        {Header() + "DMAP" + I32(1000) + "abc", "needs 1000 bytes but only 3 remain"},
        {with(999, {}), "gives square (7, 1) the column at word 999, past the 14 words"},
        {with(14, {ColumnHead(3, 0), 1}), "of 3 blocks that runs past the 16 words"},
        {with(14, {ColumnHead(9, 0), 1, 1, 1, 1, 1, 1, 1, 1, 1}), "a column of height 9 and offset 0"},
        {with(14, {ColumnHead(2, 3)}), "height 2 and offset 3"},
        {with(14, {ColumnHead(2, 0), 1, 4}),
         "DMAP chunk at offset 6 puts block 4 at square (7, 1) level 1, but holds only 4"},
        {with(14, {ColumnHead(1, 0), 70}, 2), "CMAP chunk at offset 6 puts block 70"},
        {MapFile(counts), "cut off in its 1048576 column words"},
        {Header() + Chunk("DMAP", BlockBody(Columns(), 4).substr(0, 4 * 65536 + 2)), "ends before its column word"},
        {MapFile(Columns()) + Chunk("ZONE", "\x01\x02\x03"), "zone 0 in the ZONE chunk at offset"},
        {MapFile(Columns(), kZones) + Chunk("ZONE", ZoneBody(kZones) + "\x01\x02\x03\x04\x05\x09short"),
         "zone 3 in the ZONE chunk at offset 262308 has a name of 9 bytes that runs past"},
    };
    counts.statedColumnWords = -1;
    counts.statedBlocks = 5;
    cases.emplace_back(MapFile(counts), "cut off in its 5 blocks");
    CityMap map;
    map.Load(Write(MapFile(Columns(), kZones)));
    for (const auto& [bytes, problem] : cases) {
        const std::string file = Write(bytes);
        const std::string message = Thrown<FileError>([&] { map.Load(file); });
        EXPECT_TRUE(Holds(message, file) && Holds(message, problem)) << message << "\n  wanted: " << problem;
        ExpectColumns(map);
        EXPECT_EQ(map.Zones().size(), 3u);
    }
    EXPECT_TRUE(Holds(Thrown<FileError>([&] { map.Load(dir.File("missing.gmp")); }), "missing.gmp"));
    EXPECT_EQ(map.Zones().size(), 3u);
}
