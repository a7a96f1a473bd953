// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/gmp/MapFile.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace map_test;

namespace {

// Areas 1, 2, 2, 9 in order, a chunk of no known type before the blocks, lights after the
// zones and bytes past the zero tag that ends the chunks.
const std::vector<Zone> kZones{{0, 0, 0, 1, 1, "a"}, {7, 1, 1, 2, 1, "b"}, {7, 3, 3, 1, 2, "c"}, {1, 9, 9, 3, 3, "d"}};

std::string WithZones(const std::string& zoneChunk, const std::string& end = std::string(4, '\0') + "tail")
{
    BlockData d;
    d.Put(0, 0, d.AddColumn(1, 0, {0}));
    return Header() + Chunk("UMAP", "kept") + Chunk("DMAP", BlockBody(d, 4)) + zoneChunk +
           Chunk("LGHT", std::string(16, 'L')) + end;
}

std::string City(const std::vector<Zone>& zones)
{
    return WithZones(Chunk("ZONE", ZoneBody(zones)));
}

MapZone Edit(const Zone& z)
{
    return {z.type, z.x, z.y, z.w, z.h, z.name};
}

std::string Names(const CityMap& map)
{
    std::string names;
    for (const MapZone& z : map.Zones())
        names += z.name + " ";
    return names;
}

std::string Bytes(const CityMap& map)
{
    const std::vector<uint8_t> bytes = map.Serialize();
    return {bytes.begin(), bytes.end()};
}

}  // namespace

TEST(MapZones, EditsSortByAreaAndSavesReplaceOnlyTheZoneChunk)
{
    CityMap map;
    map.Parse(AsBytes(City(kZones)), "city.gmp");
    EXPECT_EQ(Bytes(map), City(kZones));  // unchanged, byte for byte

    const Zone bus{7, 5, 5, 2, 1, "bus"};
    EXPECT_EQ(map.AddZone(Edit(bus)), 3u);                            // after the zones of area 2
    EXPECT_EQ(map.ChangeZone(0, Edit({0, 0, 0, 2, 1, "a"})), 3u);     // resized: after them too
    EXPECT_EQ(map.ChangeZone(0, Edit({8, 200, 9, 2, 1, "b2"})), 0u);  // moved and renamed: stays
    EXPECT_EQ(Names(map), "b2 c bus a d ");
    map.RemoveZone(1);
    EXPECT_EQ(Bytes(map), City({{8, 200, 9, 2, 1, "b2"}, bus, {0, 0, 0, 2, 1, "a"}, kZones[3]}));

    // Out of order as read: shown as read, written sorted, equal areas in their order.
    map.Parse(AsBytes(City({kZones[3], kZones[2], kZones[0], kZones[1]})), "city.gmp");
    EXPECT_EQ(Names(map), "d c a b ");
    EXPECT_EQ(Bytes(map), City({kZones[0], kZones[2], kZones[1], kZones[3]}));
    map.SetZones({});
    EXPECT_EQ(Bytes(map), City({}));  // the chunk stays, empty

    // Without a ZONE chunk a new one goes after the last whole chunk, where the reader,
    // which stops at a zero tag or a chunk cut off by the end, still finds it.
    for (const std::string& end :
         {std::string(4, '\0') + "tail", Chunk("CUT!", "0123456789").substr(0, 12), std::string()}) {
        map.Parse(AsBytes(WithZones("", end)), "bare.gmp");
        EXPECT_EQ(Bytes(map), WithZones("", end));
        map.AddZone(Edit(bus));
        const std::string saved = Bytes(map);
        EXPECT_EQ(saved, WithZones("", Chunk("ZONE", ZoneBody({bus})) + end));
        CityMap again;
        again.Parse(AsBytes(saved), "again.gmp");
        EXPECT_EQ(Names(again), "bus ");
    }

    map.Parse(AsBytes(WithZones(Chunk("zone", ZoneBody(kZones)))), "lower.gmp");  // the chunk's own spelling stays
    map.RemoveZone(3);
    EXPECT_EQ(Bytes(map), WithZones(Chunk("zone", ZoneBody({kZones[0], kZones[1], kZones[2]}))));
}

TEST(MapZones, RefusedEditsAndSavesChangeNothing)
{
    CityMap map;
    map.Parse(AsBytes(City(kZones)), "city.gmp");
    const std::pair<Zone, const char*> refused[] = {
        {{21, 0, 0, 1, 1, "x"}, "type 21, above the highest"},
        {{9, 0, 0, 1, 1, "x"}, "type 9, which the game does not use"},
        {{0, 0, 0, 0, 4, "x"}, "0 x 4 blocks"},
        {{0, 250, 0, 7, 1, "x"}, "blocks 250 to 256 across"},
        {{0, 0, 255, 1, 2, "x"}, "255 to 256 down"},
        {{0, 0, 0, 1, 1, std::string(256, 'n')}, "256 bytes long"},
        {{0, 0, 0, 1, 1, "caf\xE9"}, "byte 233 at 3"},
        {{0, 0, 0, 1, 1, "tab\there"}, "byte 9 at 3"},
    };
    for (const auto& [zone, problem] : refused) {
        EXPECT_TRUE(Holds(Thrown<std::invalid_argument>([&] { map.AddZone(Edit(zone)); }), problem)) << problem;
        EXPECT_TRUE(Holds(Thrown<std::invalid_argument>([&] { map.ChangeZone(1, Edit(zone)); }), problem));
    }
    EXPECT_NO_THROW(map.AddZone(Edit({20, 255, 255, 1, 1, std::string(255, '~')})));  // the largest that fit
    EXPECT_THROW(map.ChangeZone(5, Edit(kZones[0])), std::out_of_range);
    EXPECT_THROW(map.RemoveZone(5), std::out_of_range);
    map.RemoveZone(1);
    EXPECT_EQ(Bytes(map), City(kZones));

    map.SetZones(std::vector<MapZone>(kMostZones, Edit(kZones[0])));
    EXPECT_THROW(map.AddZone(Edit(kZones[0])), std::invalid_argument);
    EXPECT_THROW(CityMap().Serialize(), FileError);  // nothing loaded, nothing to save

    // A map just under the largest a reader takes: a save that would pass it writes nothing.
    TempDir dir;
    const std::string base = City(kZones);
    const std::size_t room = kLargestMapFile.bytes - base.size() - 8;
    map.Parse(AsBytes(base + Chunk("PADD", std::string(room - 10, 'p'))), "big.gmp");
    TempDir::Write(dir.File("big.gmp"), "old");
    map.AddZone(Edit({0, 0, 0, 1, 1, "tiny"}));  // ten bytes: fits exactly
    EXPECT_EQ(map.Serialize().size(), kLargestMapFile.bytes);
    map.AddZone(Edit({0, 0, 0, 1, 1, ""}));
    EXPECT_TRUE(Holds(Thrown<FileError>([&] { map.Save(dir.File("big.gmp")); }), "more than the 67108864"));
    EXPECT_EQ(dir.Listing(), std::set<std::string>{"big.gmp=old"});
}

TEST(MapZones, TheCheckNamesEachZoneTheGameWouldTripOver)
{
    using S = ZoneFinding::Severity;
    const std::vector<MapZone> zones{
        {1, 0, 0, 2, 2, "nav"},     {15, 1, 1, 2, 2, "local"},  // different types: no overlap finding
        {1, 1, 1, 2, 2, "nav2"},    {1, 1, 0, 1, 4, "nav3"},    // overlap 0, then 0 and 2 (its first: 0)
        {1, 8, 8, 2, 2, "apart"},   {20, 5, 5, 1, 1, "cell"},   // out of order; one block: fine
        {20, 5, 5, 2, 3, "yard"},   {3, 0, 0, 2, 3, "three"},   // more than one block: warned; unused type
        {33, 254, 0, 3, 2, "edge"}, {0, 0, 0, 0, 9, "flat"},    // unknown type, past the map; no area, out of order
    };
    const std::vector<std::tuple<std::size_t, S, std::string>> expected{
        {2, S::Error, "overlaps zone 0 (nav), a navigation zone of the same area (4 blocks)"},
        {3, S::Error, "overlaps zone 0 (nav)"},
        {5, S::Error, "out of area order: its 1 blocks follow the 4 of zone 4 (apart)"},
        {6, S::Warning, "arrest restart zone of 2 x 3 blocks"},
        {7, S::Error, "type 3, which the game does not use"},
        {8, S::Error, "blocks 254 to 256 across and 0 to 1 down"},
        {8, S::Error, "type 33, above the highest, 20"},
        {9, S::Error, "out of area order: its 0 blocks follow the 6"},
        {9, S::Error, "0 x 9 blocks"},
    };
    const std::vector<ZoneFinding> found = CheckZones(zones);
    ASSERT_EQ(found.size(), expected.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        const auto& [zone, severity, problem] = expected[i];
        EXPECT_EQ(std::tuple(found[i].zone, found[i].severity, found[i].name),
                  std::tuple(zone, severity, zones[zone].name));
        EXPECT_TRUE(Holds(found[i].problem, problem)) << found[i].problem << "\n  wanted: " << problem;
    }
}
