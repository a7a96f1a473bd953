// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a block's lid looks from above: which tile, mirrored and turned how, how dark;
// its pixels drawn from a style file, or one flat colour per tile without one; and,
// square by square, the lid seen from above when everything over a level is hidden.

#include <cstdint>
#include <vector>

class CityMap;
class clsSTY;

struct LidLook {
    int tile = 0;          // 0: no lid
    int lighting = 0;      // 0 normal, 1 to 3 ever darker
    bool flip = false;     // mirrored left to right, before the turn
    int quarterTurns = 0;  // clockwise, 0 to 3
};

LidLook LookOfFace(uint16_t face);

constexpr int kLidSide = 64;

// A lighting level L keeps (8 - L) / 8 of each channel: level 3 leaves five eighths,
// dark enough to tell apart and light enough to still show the tile.
uint32_t Darken(uint32_t colour, int lighting);

// The 64 x 64 pixels (0x00RRGGBB, row by row from the top) of the style's tile
// `look.tile` drawn through the virtual palette entry of the same number, mirrored,
// turned and darkened. Throws std::out_of_range when the style lacks the tile or entry.
std::vector<uint32_t> DrawLid(clsSTY& style, const LidLook& look);

// Without a style: one colour per tile number, the same in every run, darkened by the
// lighting. Neighbouring numbers get far-apart colours.
uint32_t FlatLidColour(const LidLook& look);

// The highest block at or below a level whose lid has a tile: that lid, the block's
// slope byte (its ground type and slope) and its level; level -1 where there is none.
struct SeenLid {
    uint16_t face = 0;
    uint8_t slope = 0;
    int8_t level = -1;
};

// Square by square (y * 256 + x), what is seen from above with everything over `level`
// hidden. Throws std::out_of_range for a level outside 0 to 7.
std::vector<SeenLid> SeenFromAbove(const CityMap& map, int level);

// The same, the lid faces alone; 0 where there is none.
std::vector<uint16_t> LidsFromAbove(const CityMap& map, int level);
