// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds GTA2 map files (blocks and zones) byte by byte, for the map model's tests, the
// map viewer's tests and benchmarks, and the fuzz seeds. Qt-free.
//
// A map file is "GBMP", a 16-bit version, then chunks (tag, 32-bit size, body). A DMAP
// body is 65,536 column offsets (square y * 256 + x), the column word count, the column
// words, the block count and the 12-byte blocks, all in 32 bits; CMAP is the same in 16
// bits. A column is a head word (height in its first byte, offset in its second) and a
// block number for each level from the offset up to the height.

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/LittleEndian.h"
#include "tests/support/StyBuilder.h"

namespace map_test {

using le::Chunk;
using le::I32;
using le::U16;

constexpr int kSide = 256;

inline std::string Header()
{
    return "GBMP" + U16(500);
}

// A face word: tile, then lighting, flip and quarter turns in their bits.
inline uint16_t Face(int tile, int quarterTurns = 0, bool flip = false, int lighting = 0)
{
    return static_cast<uint16_t>(tile | lighting << 10 | (flip ? 0x2000 : 0) | quarterTurns << 14);
}

struct Block {
    uint16_t left = 0, right = 0, top = 0, bottom = 0, lid = 0;
    uint8_t arrows = 0, slope = 0;
};

struct Zone {
    uint8_t type, x, y, w, h;
    std::string name;
};

// A DMAP or CMAP body field by field.
struct BlockData {
    std::vector<uint32_t> base = std::vector<uint32_t>(kSide * kSide, 0);
    std::vector<uint32_t> columns;
    std::vector<Block> blocks{Block{}};  // block 0, air

    // Appends a column and returns its first word.
    uint32_t AddColumn(int height, int offset, const std::vector<uint32_t>& numbers)
    {
        const auto at = static_cast<uint32_t>(columns.size());
        columns.push_back(static_cast<uint32_t>(height | offset << 8));
        columns.insert(columns.end(), numbers.begin(), numbers.end());
        return at;
    }
    void Put(int x, int y, uint32_t column) { base[static_cast<std::size_t>(y * kSide + x)] = column; }
};

// The body in words of `wordBytes` (4: DMAP, 2: CMAP).
inline std::string BlockBody(const BlockData& d, int wordBytes)
{
    const auto word = [&](std::size_t v) { return wordBytes == 4 ? I32(int64_t(v)) : U16(uint16_t(v)); };
    std::string out;
    for (uint32_t b : d.base)
        out += word(b);
    out += word(d.columns.size());
    for (uint32_t c : d.columns)
        out += word(c);
    out += word(d.blocks.size());
    for (const Block& b : d.blocks)
        out += U16(b.left) + U16(b.right) + U16(b.top) + U16(b.bottom) + U16(b.lid) + static_cast<char>(b.arrows) +
               static_cast<char>(b.slope);
    return out;
}

// Each zone: type, x, y, width, height, name length, name.
inline std::string ZoneBody(const std::vector<Zone>& zones)
{
    std::string out;
    for (const Zone& z : zones)
        out += std::string{char(z.type), char(z.x), char(z.y), char(z.w), char(z.h), char(z.name.size())} + z.name;
    return out;
}

inline std::string MapFile(const BlockData& d, const std::vector<Zone>& zones = {})
{
    return Header() + Chunk("DMAP", BlockBody(d, 4)) + (zones.empty() ? "" : Chunk("ZONE", ZoneBody(zones)));
}

// A whole map from the block numbers of each square from level 0 up; equal columns are
// stored once.
inline std::string Stacked(std::vector<Block> blocks, const std::function<std::vector<uint32_t>(int, int)>& stack,
                           const std::vector<Zone>& zones)
{
    BlockData d;
    d.blocks = std::move(blocks);
    std::map<std::vector<uint32_t>, uint32_t> stored;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const std::vector<uint32_t> numbers = stack(x, y);
            const auto [at, added] = stored.try_emplace(numbers, static_cast<uint32_t>(d.columns.size()));
            if (added)
                d.AddColumn(static_cast<int>(numbers.size()), 0, numbers);
            d.Put(x, y, at->second);
        }
    return MapFile(d, zones);
}

// A made-up town: at level 0 roads every 16 squares (tile 1, turned a quarter for the
// north-south ones, crossings of tile 2 lit 1) and paving (2) between them; on each
// block of 16 x 16 squares a building over squares 4 to 11, walls (no lid) on levels 1
// to 3 and a roof at 4 (tile 4, lit 3). Roads are of road ground, paving and roofs of
// pavement. Two zones.
inline std::string Town()
{
    std::vector<Block> blocks{{}};
    const std::pair<uint16_t, uint8_t> looks[] = {{Face(1), 1}, {Face(1, 1), 1}, {Face(2, 0, false, 1), 1},
                                                  {Face(2), 2}, {0, 0},          {Face(4, 0, false, 3), 2}};
    for (const auto& [lid, ground] : looks)
        blocks.push_back({Face(2), Face(2), Face(2), Face(2), lid, 0, ground});
    return Stacked(blocks,
                   [](int x, int y) -> std::vector<uint32_t> {
                       const bool ew = y % 16 == 0, ns = x % 16 == 0,
                                  inner = x % 16 / 4 % 3 != 0 && y % 16 / 4 % 3 != 0;
                       if (ew || ns)
                           return {ew && ns ? 3u : ew ? 1u : 2u};
                       return inner ? std::vector<uint32_t>{4, 5, 5, 5, 6} : std::vector<uint32_t>{4};
                   },
                   {{1, 2, 2, 60, 40, "Downtown"}, {1, 48, 144, 48, 48, "Central Park"}});
}

// Tiles 0 to 7 through palettes of RampPalette(128): 1 a road of index 1 with a dashed
// centre line of 2 running left to right and an arrowhead at its right end, 2 paving of
// 3 parted by lines of 1, 3 to 7 roofs of index 5 to 9 with an edge of 4.
inline sty_test::StyleFile TownStyle()
{
    sty_test::StyleFile f;
    f.tiles.assign(8, sty_test::Tile(4096, '\1'));
    for (int i = 0; i < 4096; ++i) {
        const int x = i % 64, y = i / 64;
        const bool dash = y >= 30 && y < 34 && x % 16 < 10, head = x >= 52 && std::abs(y - 32) < 64 - x;
        f.tiles[1][static_cast<std::size_t>(i)] = dash || head ? '\2' : '\1';
        f.tiles[2][static_cast<std::size_t>(i)] = x % 16 == 0 || y % 16 == 0 ? '\1' : '\3';
        for (std::size_t t = 3; t < 8; ++t)
            f.tiles[t][static_cast<std::size_t>(i)] = static_cast<char>(x < 3 || y < 3 || x > 60 || y > 60 ? 4 : t + 2);
    }
    f.palettes.assign(64, sty_test::RampPalette(128));
    f.palx.assign(8, 0);
    return f;
}

// One animation record: base (16-bit), delay, an uninterpreted byte, the frame count,
// another uninterpreted byte, then one 16-bit tile number per frame.
inline std::string AnimRecord(int base, int delay, const std::vector<int>& tiles)
{
    std::string out = U16(uint16_t(base)) + char(delay) + '\xAA' + char(tiles.size()) + '\xBB';
    for (int t : tiles)
        out += U16(uint16_t(t));
    return out;
}

// n records, record i with delay i and i % 5 frames numbered 100 * i + frame.
inline std::string AnimRecords(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += U16(uint16_t(i)) + char(i) + '\0' + char(i % 5) + '\0';
        for (int f = 0; f < i % 5; ++f)
            out += U16(uint16_t(100 * i + f));
    }
    return out;
}

}  // namespace map_test
