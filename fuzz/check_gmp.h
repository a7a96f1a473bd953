// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the map reader: load or be refused with
// a message naming it; hide the progress window either way; answer every query inside
// the counts it reports and refuse, with std::out_of_range, every query outside them;
// and leave an existing table untouched when refused or when it holds no "ANIM" chunk.

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/gmp/clsGMP.h"
#include "core/io/FileIO.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/GmpBytes.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"

namespace gmpcheck {

// Per animation: its delay, then its tile numbers.
using Table = std::vector<std::vector<int>>;

// The whole table as the queries give it, checking every boundary on the way;
// nothing when no table has been read.
inline std::optional<Table> ReadAll(const clsGMP& map)
{
    int anims = 0;
    try {
        anims = map.Anims();
    } catch (const std::out_of_range&) {
        Require(ThrowsOutOfRange([&] { map.AnimFrames(0); }) && ThrowsOutOfRange([&] { map.AnimDelay(0); }) &&
                    ThrowsOutOfRange([&] { map.AnimTileNumber(0, 0); }),
                "a query answered without a table");
        return std::nullopt;
    }
    Require(anims >= -1 && anims < clsGMP::kMaxAnims, "Anims() is " + std::to_string(anims));
    Table table;
    for (int a = 0; a <= anims; ++a) {
        const int frames = map.AnimFrames(a);
        const int delay = map.AnimDelay(a);
        Require(frames >= 0 && frames <= 255 && delay >= 0 && delay <= 255,
                "animation " + std::to_string(a) + " has frames " + std::to_string(frames) + ", delay " +
                    std::to_string(delay));
        std::vector<int> row{delay};
        for (int f = 0; f < frames; ++f)
            row.push_back(map.AnimTileNumber(a, f));
        Require(ThrowsOutOfRange([&] { map.AnimTileNumber(a, frames); }) &&
                    ThrowsOutOfRange([&] { map.AnimTileNumber(a, -1); }),
                "animation " + std::to_string(a) + " answers a frame outside its " + std::to_string(frames));
        table.push_back(row);
    }
    for (int outside : {-1, anims + 1})
        Require(ThrowsOutOfRange([&] { map.AnimFrames(outside); }) &&
                    ThrowsOutOfRange([&] { map.AnimDelay(outside); }) &&
                    ThrowsOutOfRange([&] { map.AnimTileNumber(outside, 0); }),
                "animation " + std::to_string(outside) + " answered outside a table of " + std::to_string(anims + 1));
    return table;
}

inline std::optional<std::string> LoadWatched(clsGMP& map, std::span<const uint8_t> input, const std::string& name)
{
    return RefusalWithProgress(name, [&] { map.ParseMap(input, name); });
}

}  // namespace gmpcheck

inline void CheckGmpFile(std::span<const uint8_t> input, const std::string& name, const TempDir&)
{
    using namespace gmpcheck;
    clsGMP fresh;
    const auto refusal = LoadWatched(fresh, input, name);
    const auto table = ReadAll(fresh);
    Require(!refusal || !table, "a refused file left a table behind");

    // The same file over a model that already holds a table.
    clsGMP map;
    map.ParseMap(AsBytes(gmpbytes::Header() + gmpbytes::Chunk("ANIM", gmpbytes::AnimRecords(3))), "baseline.gmp");
    const auto before = ReadAll(map);
    Require(LoadWatched(map, input, name) == refusal, "the file loaded differently over an existing table");
    Require(ReadAll(map) == (refusal || !table ? before : table),
            refusal ? "a refused file changed the table" : "the table does not match a fresh load");
}
