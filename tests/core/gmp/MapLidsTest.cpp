// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/gmp/MapLids.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "tests/support/MapBuilder.h"

using namespace map_test;

// Tile 1 of a made-up style is cut into 2 x 2 quarters of colour indices 10, 20 (top)
// and 30, 40 (bottom), drawn through palette 5, where index c is red 255 - c, green 20,
// blue c. Each row: the quarters that end up in the corners, top left to bottom right.
TEST(MapLids, FlipThenClockwiseTurnsMoveTheQuartersAndLightingDarkens)
{
    sty_test::StyleFile f;
    f.tiles.assign(4, sty_test::Tile(4096, '\0'));
    for (int i = 0; i < 64 * 64; ++i)
        f.tiles[1][static_cast<std::size_t>(i)] = static_cast<char>(10 + 10 * (i % 64 / 32) + 20 * (i / 2048));
    f.palettes.assign(64, sty_test::RampPalette(20));
    f.palx = {0, 5};
    clsSTY style;
    style.ParseSTY(AsBytes(f.Build()), "quarters.sty");
    const std::tuple<int, bool, std::array<uint32_t, 4>> cases[] = {
        {0, false, {10, 20, 30, 40}}, {1, false, {30, 10, 40, 20}}, {2, false, {40, 30, 20, 10}},
        {3, false, {20, 40, 10, 30}}, {0, true, {20, 10, 40, 30}},  {1, true, {40, 20, 30, 10}},
        {2, true, {30, 40, 10, 20}},  {3, true, {10, 30, 20, 40}}};
    for (const auto& [turns, flip, quarters] : cases) {
        const std::vector<uint32_t> lid = DrawLid(style, LookOfFace(Face(1, turns, flip, 3)));
        const std::size_t corners[4] = {0, 63, 63 * 64, 64 * 64 - 1};
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(lid[corners[i]], Darken((255 - quarters[i]) << 16 | 20 << 8 | quarters[i], 3))
                << turns << (flip ? " flipped, corner " : ", corner ") << i;
    }
    EXPECT_EQ(Darken(0xFF8040, 3), 0x9F5028u);                             // five eighths
    EXPECT_THROW(DrawLid(style, LookOfFace(Face(4))), std::out_of_range);  // no such tile

    std::set<uint32_t> flat;  // without a style: a colour of its own for nearly every tile
    for (int tile = 1; tile < 1024; ++tile) {
        const uint32_t colour = *flat.insert(FlatLidColour({tile, 0, false, 0})).first;
        EXPECT_EQ(FlatLidColour({tile, 2, true, 1}), Darken(colour, 2)) << tile;
    }
    EXPECT_GT(flat.size(), 1000u);
}

TEST(MapLids, TheHighestLidAtOrBelowTheLevelIsSeenFromAbove)
{
    // (0, 0): a lid at level 0; (1, 0): lids at 0 and 2, a wall between; (0, 1): a wall
    // alone; (1, 1): block 0, air whatever its lid, above a lid at 3.
    BlockData d;
    d.blocks = {{0, 0, 0, 0, Face(9)}, {0, 0, 0, 0, Face(1)}, {0, 0, 0, 0, Face(2, 1, true, 3)}, {Face(5)}};
    d.AddColumn(0, 0, {});
    d.Put(0, 0, d.AddColumn(1, 0, {1}));
    d.Put(1, 0, d.AddColumn(3, 0, {1, 3, 2}));
    d.Put(0, 1, d.AddColumn(2, 1, {3}));
    d.Put(1, 1, d.AddColumn(5, 3, {1, 0}));
    CityMap map;
    map.Parse(AsBytes(MapFile(d)), "corner");
    using Lids = std::vector<uint16_t>;  // (0, 0), (1, 0), (0, 1), (1, 1)
    for (const auto& [level, expected] :
         {std::pair{7, Lids{Face(1), Face(2, 1, true, 3), 0, Face(1)}}, {1, Lids{Face(1), Face(1), 0, 0}}}) {
        const Lids lids = LidsFromAbove(map, level);
        EXPECT_EQ(Lids({lids[0], lids[1], lids[256], lids[257]}), expected) << level;
    }
    EXPECT_THROW(LidsFromAbove(map, 8), std::out_of_range);
}
