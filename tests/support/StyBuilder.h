#pragma once
// Builds GTA2 style files byte by byte for tests, fuzzing and benchmarks. Qt-free.
//
// A style file is a 6-byte header followed by chunks, each a 4-character type, a
// signed 32-bit little-endian size and that many bytes of data. Tiles are stored in
// groups of four side by side (row r of tile t at (t/4)*16384 + r*256 + (t%4)*64),
// physical palettes in pages of 64 (colour c of palette p at (p/64)*65536 + c*256 +
// (p%64)*4), sprite pixels in rows of 256 bytes.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/LittleEndian.h"

namespace sty_test {

using le::Chunk;
using le::I32;
using le::U16;

// Six bytes the loader reads and ignores.
inline std::string Header()
{
    return std::string("GBST") + U16(700);
}

// Type and stated size only, for chunks whose size is not what follows.
inline std::string ChunkHeader(const std::string& type, int32_t size)
{
    return type + I32(size);
}

// One tile: 4096 bytes, row by row from the top.
using Tile = std::string;
// One physical palette: 256 colours of blue, green, red, fourth byte.
using Palette = std::string;

inline Tile FilledTile(uint8_t index)
{
    return Tile(4096, static_cast<char>(index));
}

// A palette whose colour c is blue c, the given green, red 255 - c and the fourth byte.
inline Palette RampPalette(uint8_t green, uint8_t fourth = 0)
{
    Palette p;
    for (int c = 0; c < 256; ++c)
        p += {static_cast<char>(c), static_cast<char>(green), static_cast<char>(255 - c), static_cast<char>(fourth)};
    return p;
}

// "TILE" chunk data; the count must be a multiple of 4 as in the game's files.
inline std::string TileData(const std::vector<Tile>& tiles)
{
    std::string data(tiles.size() * 4096, '\0');
    for (std::size_t t = 0; t < tiles.size(); ++t)
        for (std::size_t r = 0; r < 64; ++r)
            data.replace((t / 4) * 16384 + r * 256 + (t % 4) * 64, 64, tiles[t], r * 64, 64);
    return data;
}

// "PPAL" chunk data; the count must be a multiple of 64.
inline std::string PaletteData(const std::vector<Palette>& palettes)
{
    std::string data(palettes.size() * 1024, '\0');
    for (std::size_t p = 0; p < palettes.size(); ++p)
        for (std::size_t c = 0; c < 256; ++c)
            data.replace((p / 64) * 65536 + c * 256 + (p % 64) * 4, 4, palettes[p], c * 4, 4);
    return data;
}

inline std::string PalxData(const std::vector<int16_t>& entries)
{
    std::string data;
    for (int16_t e : entries)
        data += U16(static_cast<uint16_t>(e));
    return data;
}

struct SpriteEntry {
    int32_t offset;
    uint8_t width;
    uint8_t height;
    uint16_t unused = 0xBEEF;  // not interpreted by the loader
};

inline std::string SprxData(const std::vector<SpriteEntry>& sprites)
{
    std::string data;
    for (const SpriteEntry& s : sprites)
        data += I32(s.offset) + static_cast<char>(s.width) + static_cast<char>(s.height) + U16(s.unused);
    return data;
}

// The common chunks of a style file; empty parts are left out.
struct StyleFile {
    std::vector<Tile> tiles;
    std::vector<Palette> palettes;
    std::vector<int16_t> palx;
    std::vector<SpriteEntry> sprites;
    std::string spriteGraphics;

    std::string Build() const
    {
        std::string out = Header();
        if (!tiles.empty())
            out += Chunk("TILE", TileData(tiles));
        if (!palettes.empty())
            out += Chunk("PPAL", PaletteData(palettes));
        if (!palx.empty())
            out += Chunk("PALX", PalxData(palx));
        if (!sprites.empty())
            out += Chunk("SPRX", SprxData(sprites));
        if (!spriteGraphics.empty())
            out += Chunk("SPRG", spriteGraphics);
        return out;
    }
};

// A small file for tests that look at single pixels:
// - tiles 0 to 3, pixel (x, y) of tile t = SmallTilePixel(t, x, y); index 0 in the top
//   left 8 x 8 corner;
// - 64 physical palettes, palette p = RampPalette(p * 4, 40);
// - virtual palettes: tiles 0..3 use 1..4, sprites 0..3 use 10..13;
// - sprites, in 64 rows of sprite graphics:
//   0: 5 x 3 at offset 0;   1: 64 x 2 at offset 64;   2: 3 x 2 at offset 10;
//   3: a 40 x 40 disc at offset 4 * 256 + 128, index 0 outside the disc.
inline uint8_t SmallTilePixel(int t, int x, int y)
{
    if (x < 8 && y < 8)
        return 0;
    return static_cast<uint8_t>(((x / 8 + y / 8) % 2 != 0) ? 16 + x * 3 + t : 200 - y * 2 - t);
}

inline StyleFile SmallStyle()
{
    StyleFile f;
    for (int t = 0; t < 4; ++t) {
        Tile tile(4096, '\0');
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                tile[static_cast<std::size_t>(y * 64 + x)] = static_cast<char>(SmallTilePixel(t, x, y));
        f.tiles.push_back(tile);
    }
    for (int p = 0; p < 64; ++p)
        f.palettes.push_back(RampPalette(static_cast<uint8_t>(p * 4), 40));
    f.palx = {1, 2, 3, 4, 10, 11, 12, 13};
    f.sprites = {{0, 5, 3}, {64, 64, 2}, {10, 3, 2}, {4 * 256 + 128, 40, 40}};
    f.spriteGraphics.assign(64 * 256, '\0');
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 128; ++x)
            f.spriteGraphics[static_cast<std::size_t>(y * 256 + x)] =
                static_cast<char>(x == 0 && y == 0 ? 0 : 1 + (x * 3 + y * 11) % 255);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const int dx = x - 20, dy = y - 20;
            const int d2 = dx * dx + dy * dy;
            f.spriteGraphics[static_cast<std::size_t>((4 + y) * 256 + 128 + x)] =
                static_cast<char>(d2 < 400 ? 40 + d2 / 2 : 0);
        }
    return f;
}

}  // namespace sty_test
