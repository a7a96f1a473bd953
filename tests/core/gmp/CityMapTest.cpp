// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
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
    d.blocks = {{}, {1, 2, 3, 4, 5, 6, 7}, {0, 0, 0, 0, Face(9, 3, true, 2)}, {9, 9, 9, 9, 9, 255, 254}};
    d.AddColumn(0, 0, {});
    d.columns[0] |= 0xABCD0000;
    const uint32_t shared = d.AddColumn(3, 1, {2, 3});
    d.Put(0, 0, shared);
    d.Put(255, 255, shared);
    d.Put(1, 0, d.AddColumn(8, 0, {1, 2, 1, 2, 1, 2, 1, 2}));
    d.Put(2, 0, d.AddColumn(2, 2, {}));
    return d;
}

const std::vector<Zone> kZones{{1, 10, 20, 30, 40, "Downtown"}, {255, 250, 250, 6, 6, "Edge"}};

void ExpectColumns(const CityMap& map)
{
    const int cells[][4] = {{0, 0, 0, 0}, {0, 0, 1, 2}, {0, 0, 2, 3}, {0, 0, 3, 0}, {255, 255, 2, 3},
                            {1, 0, 0, 1}, {1, 0, 7, 2}, {2, 0, 1, 0}, {3, 0, 0, 0}};  // x, y, z, block
    for (const auto& [x, y, z, block] : cells)
        EXPECT_EQ(map.BlockNumberAt(x, y, z), uint32_t(block)) << x << "," << y << "," << z;
    ASSERT_EQ(map.BlockCount(), 4u);
    const MapBlock& b = map.Block(1);
    EXPECT_EQ(std::vector<int>({b.left, b.right, b.top, b.bottom, b.lid, b.arrows, b.slope, map.Block(2).lid}),
              std::vector<int>({1, 2, 3, 4, 5, 6, 7, Face(9, 3, true, 2)}));
}

}  // namespace

TEST(CityMap, DmapWinsOverCmapInAnyOrderAndDamagedFilesAreRefusedKeepingTheMap)
{
    const std::string zones = Chunk("ZONE", ZoneBody(kZones)), dmap = Chunk("DMAP", BlockBody(Columns(), 4));
    BlockData other;  // a different map, to tell which chunk was read
    other.blocks.resize(2);
    other.Put(0, 0, other.AddColumn(1, 0, {1}));
    for (const std::string& chunks :
         {zones + Chunk("cmap", BlockBody(Columns(), 2)), Chunk("CMAP", BlockBody(other, 2)) + dmap + zones,
          zones + dmap + Chunk("CMAP", "")}) {
        CityMap map;
        map.Parse(AsBytes(Header() + Chunk("UMAP", "x") + chunks), "city.gmp");
        ExpectColumns(map);
        ASSERT_EQ(map.Zones().size(), 2u);
        const MapZone &first = map.Zones()[0], &last = map.Zones()[1];
        EXPECT_EQ(std::tuple(first.name, first.y, first.w, first.h, last.name, last.type, last.x),
                  std::tuple("Downtown", 20, 30, 40, "Edge", 255, 250));
    }
    CityMap map;  // never loaded: air, no blocks
    EXPECT_EQ(map.BlockNumberAt(255, 255, 7) + map.BlockCount(), 0u);
    TempDir dir;
    TempDir::Write(dir.File("city.gmp"), MapFile(Columns(), kZones));
    map.Load(dir.File("city.gmp"));
    ExpectColumns(map);

    // Damaged files are refused naming the problem, and the map loaded before is kept.
    const auto with = [](std::vector<uint32_t> column, int wordBytes = 4) {
        BlockData d = Columns();
        d.Put(7, 1,
              column.empty() ? 999 : d.AddColumn(int(column[0]), int(column[1]), {column.begin() + 2, column.end()}));
        return Header() + Chunk(wordBytes == 4 ? "DMAP" : "CMAP", BlockBody(d, wordBytes));
    };
    std::string body = BlockBody(Columns(), 4), wordCount = body;
    wordCount.replace(4 * 65536, 4, I32(1 << 20));  // a column word count whose high half matters
    const std::pair<std::string, std::string> cases[] = {
        {"GBST" + U16(1) + Chunk("DMAP", body), "does not start with \"GBMP\""},
        {Header() + Chunk("ZONE", ZoneBody(kZones)), "neither a DMAP nor a CMAP"},
        {with({}), "gives square (7, 1) the column at word 999, past the 14 words"},
        {with({3, 0, 1}), "of 3 blocks that runs past the 16 words"},  // height, offset, block numbers
        {with({9, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1}), "a column of height 9 and offset 0"},
        {with({2, 3}), "height 2 and offset 3"},
        {with({2, 0, 1, 4}), "DMAP chunk at offset 6 puts block 4 at square (7, 1) level 1, but holds only 4"},
        {with({1, 0, 70}, 2), "CMAP chunk at offset 6 puts block 70"},
        {Header() + Chunk("DMAP", wordCount), "cut off in its 1048576 column words"},
        {Header() + Chunk("DMAP", body.substr(0, 4 * 65536 + 2)), "ends before its column word"},
        {Header() + Chunk("DMAP", body.substr(0, body.size() - 1)), "cut off in its 4 blocks"},
        {MapFile(Columns()) + Chunk("ZONE", "\x01\x02\x03"), "zone 0 in the ZONE chunk at offset"},
        {MapFile(Columns(), kZones) + Chunk("ZONE", ZoneBody(kZones) + "\x01\x02\x03\x04\x05\x09short"),
         "zone 2 in the ZONE chunk at offset 262302 has a name of 9 bytes that runs past"},
        // A map of nothing but unnamed zones, scaled down: its zones would take far more
        // memory than its file, so past a count no game map comes near it is refused.
        {MapFile(Columns()) + Chunk("ZONE", std::string(6 * 65537, '\0')),
         "zone 65536 in the ZONE chunk at offset 262270 is one too many: a map holds at most 65536 zones"},
    };
    for (const auto& [bytes, problem] : cases) {
        RecordingProgress progress;
        const std::string message = Thrown<FileError>([&] { map.Parse(AsBytes(bytes), "city.gmp", progress); });
        EXPECT_TRUE(Holds(message, "city.gmp") && Holds(message, problem)) << message << "\n  wanted: " << problem;
        EXPECT_TRUE(progress.HiddenAtTheEnd()) << problem;
        ExpectColumns(map);
        EXPECT_EQ(map.Zones().size(), 2u);
    }
    map.Parse(AsBytes(MapFile(Columns()) + Chunk("ZONE", std::string(6 * 65536, '\0'))), "city.gmp");
    EXPECT_EQ(map.Zones().size(), 65536u);
}
