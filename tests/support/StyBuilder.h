// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds GTA2 style files byte by byte for tests, fuzzing and benchmarks. Qt-free.
//
// A style file is "GBST", a 16-bit version, then chunks (4-character type, signed 32-bit
// size, data). Tiles are stored in groups of four side by side (row r of tile t at
// (t/4)*16384 + r*256 + (t%4)*64), physical palettes in pages of 64 (colour c of palette
// p at (p/64)*65536 + c*256 + (p%64)*4), sprite pixels in rows of 256 bytes.

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/LittleEndian.h"

namespace sty_test {

using le::Chunk;
using le::I32;
using le::U16;

using Tile = std::string;     // 4096 bytes, row by row from the top
using Palette = std::string;  // 256 colours of blue, green, red, fourth byte

inline std::string Header()
{
    return "GBST" + U16(700);
}

// A palette whose colour c is blue c, the given green, red 255 - c and the fourth byte.
inline Palette RampPalette(uint8_t green, uint8_t fourth = 0)
{
    Palette p;
    for (int c = 0; c < 256; ++c)
        p += {static_cast<char>(c), static_cast<char>(green), static_cast<char>(255 - c), static_cast<char>(fourth)};
    return p;
}

// Items of `rows` rows of `row` bytes, in groups of `group` whose rows are interleaved.
inline std::string Interleaved(const std::vector<std::string>& items, std::size_t group, std::size_t row,
                               std::size_t rows)
{
    std::string data(items.size() * row * rows, '\0');
    for (std::size_t i = 0; i < items.size(); ++i)
        for (std::size_t r = 0; r < rows; ++r)
            data.replace((i / group) * group * row * rows + r * row * group + (i % group) * row, row, items[i], r * row,
                         row);
    return data;
}

struct SpriteEntry {
    int32_t offset;
    uint8_t width, height;
};

// The common chunks; empty parts are left out. Tiles come in fours, palettes in 64s.
struct StyleFile {
    std::vector<Tile> tiles;
    std::vector<Palette> palettes;
    std::vector<int16_t> palx;
    std::vector<SpriteEntry> sprites;
    std::string spriteGraphics;
    std::string moreChunks;  // whole chunks, after the others

    std::string Build() const
    {
        std::string palxData, sprx, out = Header();
        for (int16_t e : palx)
            palxData += U16(static_cast<uint16_t>(e));
        for (const SpriteEntry& s : sprites)  // offset, width, height, 2 bytes not interpreted
            sprx += I32(s.offset) + static_cast<char>(s.width) + static_cast<char>(s.height) + U16(0xBEEF);
        for (const auto& [type, data] : {std::pair{"TILE", Interleaved(tiles, 4, 64, 64)},
                                         {"PPAL", Interleaved(palettes, 64, 4, 256)},
                                         {"PALX", palxData},
                                         {"SPRX", sprx},
                                         {"SPRG", spriteGraphics}})
            if (!data.empty())
                out += Chunk(type, data);
        return out + moreChunks;
    }
};

// Pixel (x, y) of SmallStyle's tile t: index 0 in the top left 8 x 8 corner.
inline uint8_t SmallTilePixel(int t, int x, int y)
{
    return x < 8 && y < 8 ? 0 : static_cast<uint8_t>((x + 61 * y + 17 * t) % 255 + 1);
}

// Tiles 0 to 3; palette p = RampPalette(p * 4, 40); virtual palettes 1 to 4 for the
// tiles, 10 to 13 for the sprites; 64 rows of sprite graphics, byte i of the first four
// i % 251, holding sprites 0: 5 x 3 at 0, 1: 64 x 2 at 64, 2: 3 x 2 at 10, and 3: a
// 40 x 40 disc at 4 * 256 + 128, index 40 at its centre and 0 outside it.
inline StyleFile SmallStyle()
{
    StyleFile f;
    f.tiles.assign(4, Tile(4096, '\0'));
    for (int i = 0; i < 4 * 4096; ++i)
        f.tiles[static_cast<std::size_t>(i / 4096)][static_cast<std::size_t>(i % 4096)] =
            static_cast<char>(SmallTilePixel(i / 4096, i % 64, i % 4096 / 64));
    for (int p = 0; p < 64; ++p)
        f.palettes.push_back(RampPalette(static_cast<uint8_t>(p * 4), 40));
    f.palx = {1, 2, 3, 4, 10, 11, 12, 13};
    f.sprites = {{0, 5, 3}, {64, 64, 2}, {10, 3, 2}, {4 * 256 + 128, 40, 40}};
    f.spriteGraphics.assign(64 * 256, '\0');
    for (int i = 0; i < 4 * 256; ++i)
        f.spriteGraphics[static_cast<std::size_t>(i)] = static_cast<char>(i % 251);
    for (int i = 0; i < 40 * 40; ++i) {
        const int d2 = (i % 40 - 20) * (i % 40 - 20) + (i / 40 - 20) * (i / 40 - 20);
        f.spriteGraphics[static_cast<std::size_t>((4 + i / 40) * 256 + 128 + i % 40)] =
            static_cast<char>(d2 < 400 ? 40 + d2 / 2 : 0);
    }
    return f;
}

// A font of FontStyle: its count of characters from '!', the height of every glyph, and
// whether its lower-case letters have visible pixels.
struct FontSpec {
    int characters;
    int height;
    bool lowerCase;
};

// Byte b's glyph in a font of that height: its last column blank, as the game's are.
inline int GlyphWidth(int height, uint8_t b)
{
    return height / 3 + 2 + b % 4;
}

// Colour index of pixel (x, y) of byte b's glyph in font f: 0 in its last column and here
// and there inside it, and everywhere in markup, '@' and a font's missing lower case.
inline uint8_t GlyphPixel(const FontSpec& font, int f, uint8_t b, int x, int y)
{
    const bool blank = b == '#' || b == '*' || b == '@' || (!font.lowerCase && b >= 'a' && b <= 'z');
    if (blank || x == GlyphWidth(font.height, b) - 1 || (x + 2 * y + b) % 5 == 0)
        return 0;
    return static_cast<uint8_t>(1 + (b * 7 + x * 3 + y * 11 + f * 13) % 255);
}

// A font style: `before` 1 x 1 sprites counted by the first five SPRB counts, then the
// fonts' glyphs, eight to a band of rows as tall as the tallest font. Sprite s is drawn
// with physical palette s % 64 (RampPalette(4 * (s % 64)), as in SmallStyle): a palette
// per glyph.
inline StyleFile FontStyle(const std::vector<FontSpec>& fonts, const std::array<uint16_t, 5>& before)
{
    StyleFile f;
    for (int p = 0; p < 64; ++p)
        f.palettes.push_back(RampPalette(static_cast<uint8_t>(p * 4), 40));
    std::string sprb, fonb = U16(static_cast<uint16_t>(fonts.size()));
    for (uint16_t n : before) {
        sprb += U16(n);
        f.sprites.insert(f.sprites.end(), n, SpriteEntry{0, 1, 1});
    }
    int band = 1, glyphs = 0;
    for (const FontSpec& font : fonts)
        band = std::max(band, font.height), glyphs += font.characters, fonb += U16(uint16_t(font.characters));
    f.spriteGraphics.assign(std::size_t(256) * band * (1 + (glyphs + 7) / 8), '\0');
    for (int g = 0, n = 0; n < int(fonts.size()); ++n)
        for (int c = 0; c < fonts[std::size_t(n)].characters; ++c, ++g) {
            const FontSpec& font = fonts[std::size_t(n)];
            const auto b = static_cast<uint8_t>(33 + c);
            const int at = (1 + g / 8) * 256 * band + g % 8 * 32, width = GlyphWidth(font.height, b);
            f.sprites.push_back({at, static_cast<uint8_t>(width), static_cast<uint8_t>(font.height)});
            for (int y = 0; y < font.height; ++y)
                for (int x = 0; x < width; ++x)
                    f.spriteGraphics[std::size_t(at + 256 * y + x)] = static_cast<char>(GlyphPixel(font, n, b, x, y));
        }
    for (std::size_t s = 0; s < f.sprites.size(); ++s)
        f.palx.push_back(static_cast<int16_t>(s % 64));
    f.moreChunks = Chunk("SPRB", sprb + U16(static_cast<uint16_t>(glyphs))) + Chunk("FONB", fonb);
    return f;
}

}  // namespace sty_test
