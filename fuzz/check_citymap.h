// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the map model: load or be refused with a
// message naming it; hide the progress window either way; answer every query inside
// the grid and the block count and refuse, with std::out_of_range, every query outside
// them; and leave an existing map untouched when refused. A map loaded saves as the
// same bytes when its zones were in area order, and otherwise as as many bytes that load
// as the same map with its zones sorted and save as themselves; checking its zones names
// only zones it has.

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/gmp/CityMap.h"
#include "core/io/FileIO.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"

namespace citymapcheck {

// Everything the queries give, checking every boundary on the way.
struct Seen {
    uint64_t cells = 0;  // a digest of every cell's block number
    std::vector<std::tuple<int, int, int, int, int, int, int>> blocks;
    std::vector<std::tuple<int, int, int, int, int, std::string>> zones;
    bool operator==(const Seen&) const = default;
};

inline Seen ReadAll(const CityMap& map)
{
    Seen seen;
    const uint32_t count = map.BlockCount();
    for (int y = 0; y < CityMap::kSide; ++y)
        for (int x = 0; x < CityMap::kSide; ++x)
            for (int z = 0; z < CityMap::kLevels; ++z) {
                const uint32_t n = map.BlockNumberAt(x, y, z);
                if (n != 0 && n >= count)  // the message only when it is needed: this runs 524,288 times
                    Require(false, "a cell holds block " + std::to_string(n) + " of " + std::to_string(count));
                seen.cells = seen.cells * 1099511628211u + n + 1;
            }
    for (uint32_t n = 0; n < count; ++n) {
        const MapBlock& b = map.Block(n);
        seen.blocks.emplace_back(b.left, b.right, b.top, b.bottom, b.lid, b.arrows, b.slope);
    }
    for (const MapZone& z : map.Zones())
        seen.zones.emplace_back(z.type, z.x, z.y, z.w, z.h, z.name);
    Require(ThrowsOutOfRange([&] { map.Block(count); }), "block " + std::to_string(count) + " answered");
    const int outside[][3] = {{-1, 0, 0}, {256, 0, 0}, {0, -1, 0}, {0, 256, 0}, {0, 0, -1}, {0, 0, 8}};
    for (const auto& c : outside)
        Require(ThrowsOutOfRange([&] { map.BlockNumberAt(c[0], c[1], c[2]); }), "a cell outside the grid answered");
    return seen;
}

inline void CheckSaved(const CityMap& map, std::span<const uint8_t> input, Seen expected)
{
    const std::vector<uint8_t> saved = map.Serialize();
    std::vector<MapZone> sorted = map.Zones();
    SortByArea(sorted, 0);
    if (sorted == map.Zones())
        Require(std::equal(saved.begin(), saved.end(), input.begin(), input.end()),
                "an unchanged map saved differently");
    Require(saved.size() == input.size(), "a map saved with its zones sorted changed size");
    CityMap again;
    again.Parse(saved, "saved.gmp");
    Require(again.Serialize() == saved, "a saved map saves differently again");
    expected.zones.clear();
    for (const MapZone& z : sorted)
        expected.zones.emplace_back(z.type, z.x, z.y, z.w, z.h, z.name);
    Require(ReadAll(again) == expected, "a saved map loads differently");
    for (const ZoneFinding& found : CheckZones(map.Zones()))
        Require(found.zone < map.Zones().size() && found.name == map.Zones()[found.zone].name,
                "the check named a zone the map does not have");
}

inline std::optional<std::string> LoadWatched(CityMap& map, std::span<const uint8_t> input, const std::string& name)
{
    return RefusalWithProgress(name, [&] { map.Parse(input, name); });
}

}  // namespace citymapcheck

inline void CheckCityMapFile(std::span<const uint8_t> input, const std::string& name, const TempDir&)
{
    using namespace citymapcheck;
    CityMap fresh;
    const auto refusal = LoadWatched(fresh, input, name);
    const Seen loaded = ReadAll(fresh);
    static const Seen empty = ReadAll(CityMap());
    Require(!refusal || loaded == empty, "a refused file left a map behind");
    if (!refusal)
        CheckSaved(fresh, input, loaded);

    // The same bytes over a model that already holds a map.
    map_test::BlockData d;
    d.blocks.resize(3);
    d.Put(1, 2, d.AddColumn(3, 1, {1, 2}));
    CityMap map;
    map.Parse(AsBytes(map_test::MapFile(d, {{1, 2, 3, 4, 5, "Zone"}})), "baseline.gmp");
    static const Seen before = ReadAll(map);
    Require(LoadWatched(map, input, name) == refusal, "the file loaded differently over an existing map");
    Require(ReadAll(map) == (refusal ? before : loaded),
            refusal ? "a refused file changed the map" : "the map does not match a fresh load");
}
