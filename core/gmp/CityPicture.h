// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole map seen from above as pixels, with its style's tiles or, without a style,
// in the schematic colours of the ground types (Ground.h). Colours are 0xAARRGGBB,
// opaque; squares with no lid show the background.

#include <cstdint>
#include <span>
#include <vector>

#include "core/gmp/MapLids.h"

class CityMap;
class clsSTY;

inline constexpr uint32_t kMapBackground = 0xFF101418;

// The schematic colour of what is seen from above on one square; the background where
// nothing is.
uint32_t SchematicColour(const SeenLid& lid);

// Square by square (y * 256 + x), the schematic colours with everything over `level` hidden.
std::vector<uint32_t> SchematicSquares(const CityMap& map, int level);

// The 64 x 64 pixels of a lid shrunk to `side` x `side` (1 to 64), each the mean of the
// pixels it covers, opaque.
std::vector<uint32_t> ShrinkLid(std::span<const uint32_t> lid, int side);

struct CityPicture {
    int side = 0;                  // pixels across and down
    std::vector<uint32_t> pixels;  // row by row from the top
};

// The whole map at `scale` pixels a block (1 to 64; std::invalid_argument otherwise) with
// everything over `level` hidden. With a style each lid is its tile turned, mirrored and
// lit as the viewer draws it, shrunk to the square; a lid whose tile the style lacks gets
// its flat colour (FlatLidColour). Without a style, the schematic colours.
CityPicture DrawCity(const CityMap& map, clsSTY* style, int level, int scale);
