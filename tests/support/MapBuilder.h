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
#include <map>
#include <span>
#include <string>
#include <vector>

#include "tests/support/LittleEndian.h"
#include "tests/support/StyBuilder.h"

namespace map_test {

using le::Chunk;
using le::I32;
using le::U16;

constexpr int kSide = 256;
constexpr int kLevels = 8;
constexpr std::size_t kSquares = kSide * kSide;

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

inline uint32_t ColumnHead(int height, int offset)
{
    return static_cast<uint32_t>(height | offset << 8);
}

// A DMAP or CMAP body field by field, so that a test can set any of them wrong.
struct BlockData {
    std::vector<uint32_t> base = std::vector<uint32_t>(kSquares, 0);
    std::vector<uint32_t> columns;
    std::vector<Block> blocks{Block{}};  // block 0, air
    int64_t statedColumnWords = -1;      // written instead of the real count when not -1
    int64_t statedBlocks = -1;

    // Appends a column and returns its first word.
    uint32_t AddColumn(int height, int offset, const std::vector<uint32_t>& numbers)
    {
        const auto at = static_cast<uint32_t>(columns.size());
        columns.push_back(ColumnHead(height, offset));
        columns.insert(columns.end(), numbers.begin(), numbers.end());
        return at;
    }
    void Put(int x, int y, uint32_t column) { base[static_cast<std::size_t>(y * kSide + x)] = column; }
};

// The body in words of `wordBytes` (4: DMAP, 2: CMAP).
inline std::string BlockBody(const BlockData& d, int wordBytes)
{
    const auto word = [&](int64_t v) { return wordBytes == 4 ? I32(v) : U16(static_cast<uint16_t>(v)); };
    std::string out;
    for (uint32_t b : d.base)
        out += word(b);
    out += word(d.statedColumnWords >= 0 ? d.statedColumnWords : static_cast<int64_t>(d.columns.size()));
    for (uint32_t c : d.columns)
        out += word(c);
    out += word(d.statedBlocks >= 0 ? d.statedBlocks : static_cast<int64_t>(d.blocks.size()));
    for (const Block& b : d.blocks)
        out += U16(b.left) + U16(b.right) + U16(b.top) + U16(b.bottom) + U16(b.lid) + static_cast<char>(b.arrows) +
               static_cast<char>(b.slope);
    return out;
}

inline std::string ZoneBody(const std::vector<Zone>& zones)
{
    std::string out;
    for (const Zone& z : zones)
        out += std::string{static_cast<char>(z.type), static_cast<char>(z.x), static_cast<char>(z.y),
                           static_cast<char>(z.w),    static_cast<char>(z.h), static_cast<char>(z.name.size())} +
               z.name;
    return out;
}

// A built file as the bytes CityMap::Parse takes; `file` must outlive them.
inline std::span<const uint8_t> Bytes(const std::string& file)
{
    return {reinterpret_cast<const uint8_t*>(file.data()), file.size()};
}

inline std::string MapFile(const BlockData& d, const std::vector<Zone>& zones = {})
{
    return Header() + Chunk("DMAP", BlockBody(d, 4)) + (zones.empty() ? "" : Chunk("ZONE", ZoneBody(zones)));
}

// Block numbers by square and level, packed into columns with identical ones shared.
struct Grid {
    std::vector<uint32_t> cells = std::vector<uint32_t>(kSquares * kLevels, 0);
    uint32_t& At(int x, int y, int z) { return cells[static_cast<std::size_t>((y * kSide + x) * kLevels + z)]; }

    BlockData Pack(std::vector<Block> blocks) const
    {
        BlockData d;
        d.blocks = std::move(blocks);
        std::map<std::vector<uint32_t>, uint32_t> shared;
        for (std::size_t square = 0; square < kSquares; ++square) {
            const auto first = cells.begin() + static_cast<std::ptrdiff_t>(square * kLevels);
            int offset = 0, height = kLevels;
            while (height > 0 && first[height - 1] == 0)
                --height;
            while (offset < height && first[offset] == 0)
                ++offset;
            std::vector<uint32_t> key{ColumnHead(height, offset)};
            key.insert(key.end(), first + offset, first + height);
            const auto found = shared.try_emplace(key, static_cast<uint32_t>(d.columns.size()));
            if (found.second)
                d.columns.insert(d.columns.end(), key.begin(), key.end());
            d.base[square] = found.first->second;
        }
        return d;
    }
};

// A made-up town over the whole map, for the viewer and its benchmarks: roads every
// 16 squares (tile 1, turned a quarter for the north-south ones), pavement (2) along
// them, a park (3) and a river (4) at level 0, and between the roads buildings of 1 to
// 4 levels with roofs of tiles 5 to 7, the taller ones darker. Tiles 1 to 7 exist in
// TownStyle(). Four named zones.
inline std::string Town()
{
    std::vector<Block> blocks{Block{}};
    const auto block = [&](uint16_t lid) {
        blocks.push_back({Face(2), Face(2), Face(2), Face(2), lid, 0, 0});
        return static_cast<uint32_t>(blocks.size() - 1);
    };
    const uint32_t road = block(Face(1)), roadNS = block(Face(1, 1)), crossing = block(Face(2, 0, false, 1));
    const uint32_t pavement = block(Face(2)), grass = block(Face(3)), water = block(Face(4));
    const uint32_t wall = block(0);
    uint32_t roof[4][3];
    for (int level = 0; level < 4; ++level)
        for (int kind = 0; kind < 3; ++kind)
            roof[level][kind] = block(Face(5 + kind, level % 4, kind == 1, level));
    Grid g;
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const bool ew = y % 16 == 0, ns = x % 16 == 0;
            const int lotX = x / 16, lotY = y / 16, ix = x % 16, iy = y % 16;
            if (ew || ns) {
                g.At(x, y, 0) = ew && ns ? crossing : ew ? road : roadNS;
            } else if (y >= 112 && y < 128) {
                g.At(x, y, 0) = water;
            } else if (lotX >= 3 && lotX <= 5 && lotY >= 9 && lotY <= 11) {
                g.At(x, y, 0) = grass;
            } else if (ix == 1 || iy == 1 || ix == 15 || iy == 15) {
                g.At(x, y, 0) = pavement;
            } else {
                const int kind = (lotX * 7 + lotY * 3) % 3, height = 1 + (lotX * 5 + lotY * 11 + (ix > 8)) % 4;
                g.At(x, y, 0) = pavement;
                for (int z = 1; z < height; ++z)
                    g.At(x, y, z) = wall;
                g.At(x, y, height) = roof[height - 1][kind];
            }
        }
    const std::vector<Zone> zones{{1, 2, 2, 60, 40, "Downtown"},
                                  {1, 48, 144, 48, 48, "Central Park"},
                                  {5, 0, 112, 255, 16, "River"},
                                  {1, 160, 176, 90, 70, "Harbour"}};
    return MapFile(g.Pack(blocks), zones);
}

// Palette indices for TownStyle's tiles.
enum TownColour : uint8_t { kAsphalt = 1, kLine, kStone, kGrass, kLeaf, kWater, kWave, kRed, kSlate, kSand, kEdge };

// Tiles 0 to 7 through one palette: 1 a road with a dashed centre line running left to
// right and an arrowhead at its right end, 2 paving, 3 grass, 4 water, 5 to 7 roofs
// with an edge and a dark corner at the top left.
inline sty_test::StyleFile TownStyle()
{
    const uint32_t rgb[] = {0x000000, 0x3C3C40, 0xF0E8A0, 0xA8A8A0, 0x4C9A3C, 0x2E6E2A,
                            0x2858B0, 0x5A8AE0, 0xA84830, 0x58607A, 0xC8B078, 0x282020};
    sty_test::Palette palette;
    for (int c = 0; c < 256; ++c) {
        const uint32_t v = c < 12 ? rgb[c] : 0x808080;
        palette += {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16), 0};
    }
    const auto tile = [](auto pixel) {
        sty_test::Tile t(4096, '\0');
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                t[static_cast<std::size_t>(y * 64 + x)] = static_cast<char>(pixel(x, y));
        return t;
    };
    const auto roofOf = [&](uint8_t body) {
        return tile([=](int x, int y) {
            const bool edge = (x < 16 && y < 16) || x < 3 || y < 3 || x > 60 || y > 60;
            return edge ? uint8_t{kEdge} : body;
        });
    };
    sty_test::StyleFile f;
    f.tiles = {tile([](int, int) { return kAsphalt; }),
               tile([](int x, int y) {
                   const bool dash = y >= 30 && y < 34 && x % 16 < 10, head = x >= 52 && std::abs(y - 32) < 64 - x;
                   return dash || head ? kLine : kAsphalt;
               }),
               tile([](int x, int y) { return x % 16 == 0 || y % 16 == 0 ? kAsphalt : kStone; }),
               tile([](int x, int y) { return (x * 7 + y * 13) % 11 == 0 ? kLeaf : kGrass; }),
               tile([](int x, int y) { return (y + (x / 8) % 2 * 2) % 8 == 0 ? kWave : kWater; }),
               roofOf(kRed),
               roofOf(kSlate),
               roofOf(kSand)};
    f.palettes.assign(64, palette);
    f.palx.assign(8, 0);
    return f;
}

// About 1.3 MB, a column of its own for nearly every square: 1 to 5 blocks from level
// 0, as many over each patch of 4 x 4 squares as on a block of buildings, numbered at
// random among 4,000 blocks whose lids use tiles 1 to 7 in every look.
inline std::string BusyCity()
{
    std::vector<Block> blocks{Block{}};
    for (int n = 1; n < 4000; ++n)
        blocks.push_back(
            {Face(n % 7 + 1), 0, Face(2), 0, Face(n % 7 + 1, n / 7 % 4, n / 28 % 2 == 1, n / 56 % 4), 0, 0});
    Grid g;
    uint32_t state = 12345;
    const auto next = [&] { return (state = state * 1664525u + 1013904223u) >> 8; };
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const int height = 1 + (x / 4 * 7 + y / 4 * 13 + x / 4 * y / 4) % 5;
            for (int z = 0; z < height; ++z)
                g.At(x, y, z) = 1 + next() % 3999;
        }
    return MapFile(g.Pack(blocks), {{1, 0, 0, 128, 128, "North West"}, {1, 128, 128, 128, 128, "South East"}});
}

}  // namespace map_test
