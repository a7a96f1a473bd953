// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/gmp/CityPicture.h"
#include "core/gmp/Ground.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "tests/support/MapBuilder.h"

using namespace map_test;

namespace {

int Sum(uint32_t colour)
{
    return static_cast<int>((colour >> 16 & 0xFF) + (colour >> 8 & 0xFF) + (colour & 0xFF));
}

}  // namespace

TEST(CityPicture, GroundTypesHaveOpaqueColoursOfTheirOwnLighterTheHigherAndSlopesHaveWords)
{
    for (int level = 1; level < 8; ++level) {  // which colour each has is the code's choice
        std::set<uint32_t> colours;
        for (Ground ground : {Ground::Air, Ground::Road, Ground::Pavement, Ground::Field}) {
            const uint32_t colour = *colours.insert(SchematicColour(ground, level)).first;
            EXPECT_EQ(colour >> 24, 0xFFu);
            EXPECT_GT(Sum(colour), Sum(SchematicColour(ground, level - 1)) + 10) << level;  // lighter a level up
        }
        EXPECT_EQ(colours.size(), 4u) << level;
    }
    EXPECT_STREQ(GroundName(GroundOf(0x1A)), "pavement");  // slope 6, ground 2
    EXPECT_EQ(SlopeOf(0x1A), 6);
    const std::pair<int, const char*> slopes[] = {
        {0, "flat"},
        {1, "26-degree slope up, low half"},
        {8, "26-degree slope right, high half"},
        {9, "7-degree slope up, part 1 of 8 from the bottom"},
        {40, "7-degree slope right, part 8 of 8 from the bottom"},
        {42, "45-degree slope down"},
        {45, "diagonal wall facing up-left"},
        {52, "diagonal slope facing down-right"},
        {57, "partial block, top-left corner"},
        {61, "partial block, centre"},
        {62, "slope 62, not one the game uses"},
        {63, "the block above is a slope"},
    };
    for (const auto& [slope, words] : slopes)
        EXPECT_EQ(SlopeText(slope), words);
}

TEST(CityPicture, WithoutAStyleSquaresTakeTheColourOfTheirHighestLidWithAStyleTheLidShrunk)
{
    // (0, 0): road at 0 under a lidless pavement block at 1; (1, 0): field at 0, pavement at 3.
    std::vector<Block> blocks{{},
                              {0, 0, 0, 0, Face(1), 0, 1},
                              {0, 0, 0, 0, 0, 0, 2},
                              {0, 0, 0, 0, Face(2), 0, 3},
                              {0, 0, 0, 0, Face(1, 1), 0, 2 | 41 << 2}};
    const std::string file =
        Stacked(blocks,
                [](int x, int y) -> std::vector<uint32_t> {
                    if (y != 0 || x > 1)
                        return {};
                    return x == 0 ? std::vector<uint32_t>{1, 2} : std::vector<uint32_t>{3, 0, 0, 4};
                },
                {});
    CityMap map;
    map.Parse(AsBytes(file), "grounds.gmp");
    const std::vector<uint32_t> top = SchematicSquares(map, 7), low = SchematicSquares(map, 2);
    EXPECT_EQ(std::vector<uint32_t>({top[0], top[1], top[2], low[1]}),
              std::vector<uint32_t>({SchematicColour(Ground::Road, 0), SchematicColour(Ground::Pavement, 3),
                                     kMapBackground, SchematicColour(Ground::Field, 0)}));

    std::vector<uint32_t> halves(64 * 64);  // left half black, right half white
    for (std::size_t i = 0; i < halves.size(); ++i)
        halves[i] = i % 64 < 32 ? 0 : 0xFFFFFF;
    EXPECT_EQ(ShrinkLid(halves, 2), std::vector<uint32_t>({0xFF000000, 0xFFFFFFFF, 0xFF000000, 0xFFFFFFFF}));
    EXPECT_EQ(ShrinkLid(halves, 1), std::vector<uint32_t>{0xFF808080});

    clsSTY style;
    sty_test::StyleFile f = TownStyle();
    f.palx.resize(2);                       // no palette for tile 2: a flat colour
    for (std::size_t i = 0; i < 4096; ++i)  // tile 1: index 0 on the left, 255 on the right
        f.tiles[1][i] = static_cast<char>(i % 64 < 32 ? 0 : 255);
    style.ParseSTY(AsBytes(f.Build()), "town.sty");
    const CityPicture drawn = DrawCity(map, &style, 7, 4), low4 = DrawCity(map, &style, 2, 4);
    const std::vector<uint32_t> road = ShrinkLid(DrawLid(style, LookOfFace(Face(1))), 4),
                                turned = ShrinkLid(DrawLid(style, LookOfFace(Face(1, 1))), 4);
    EXPECT_NE(road, turned);
    for (std::size_t i = 0; i < 16; ++i) {
        const std::size_t at = i / 4 * 1024 + i % 4;
        EXPECT_EQ(std::tuple(drawn.pixels[at], drawn.pixels[at + 4], low4.pixels[at + 4]),
                  std::tuple(road[i], turned[i], 0xFF000000 | FlatLidColour(LookOfFace(Face(2)))))
            << i;
    }
    for (int scale : {0, 65})
        EXPECT_THROW(DrawCity(map, nullptr, 7, scale), std::invalid_argument);
}
