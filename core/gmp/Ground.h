// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a block's slope byte says: the ground type in bits 0-1 and the slope in bits 2-7,
// in words for the viewer's status line and the command line, and the colour of each
// ground type for a map drawn without its style.

#include <cstdint>
#include <string>

enum class Ground : uint8_t { Air, Road, Pavement, Field };

inline Ground GroundOf(uint8_t slopeByte)
{
    return static_cast<Ground>(slopeByte & 3);
}

inline int SlopeOf(uint8_t slopeByte)
{
    return slopeByte >> 2;
}

// "air", "road", "pavement", "field".
const char* GroundName(Ground ground);

// The slope (0 to 63) in words: "flat", "26-degree slope up, low half", "7-degree slope
// left, part 3 of 8 from the bottom", "45-degree slope down", "diagonal wall facing
// up-left", "partial block, top", "the block above is a slope".
std::string SlopeText(int slope);

// The colour (0xAARRGGBB, opaque) of a lid of `ground` at `level` (0 to 7) on a map drawn
// without its style: roads grey, pavements light, fields green, lids on air (tops of
// walls and the like) brick; each lighter the higher it is, so that buildings stand out
// by their height.
uint32_t SchematicColour(Ground ground, int level);
