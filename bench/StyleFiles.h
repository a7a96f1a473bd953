// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The style files the benchmarks and the memory measurement open.

#include <cstddef>
#include <string>

#include "bench/BenchSupport.h"
#include "tests/support/StyBuilder.h"

namespace bench {

// How many of each part a generated style file holds. Sprites are at most
// `spriteSide` pixels a side and lie side by side in bands of that many rows of the
// sprite graphics, as many to a band as fit in its 256 columns.
struct StyleSize {
    int tiles = 1000;
    int palettes = 128;
    int palx = 16384;
    int sprites = 3000;
    int spriteSide = 32;
};

// A file of the given size with every tile, palette and sprite different.
sty_test::StyleFile GeneratedStyle(const StyleSize& size);

// "realistic": 1,000 tiles, 256 physical palettes, a 16,384-entry virtual palette table
// and 3,000 sprites in about 2 MB of sprite graphics, 6.3 MB in all. "x10": ten times
// each but the virtual palette table, which cannot hold more than 32,767 entries, and
// the sprites, whose palettes follow the tiles' in it: 22,767 larger ones in about 21 MB.
Input WriteStyle(const std::string& size, const std::string& path = {});

}  // namespace bench
