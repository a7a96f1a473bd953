// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gmp/Ground.h"

#include <algorithm>

namespace {

const char* const kDirections[4] = {"up", "down", "left", "right"};
const char* const kFacings[4] = {"up-left", "up-right", "down-left", "down-right"};
const char* const kPartialSides[9] = {"left",
                                      "right",
                                      "top",
                                      "bottom",
                                      "top-left corner",
                                      "top-right corner",
                                      "bottom-left corner",
                                      "bottom-right corner",
                                      "centre"};

// At the top level; each level down takes a fourteenth off every channel, so that the hues
// stay apart at every height and level 0 keeps half.
constexpr uint32_t kGroundColours[4] = {0xD08060, 0xA0A0A6, 0xE6DECB, 0x78D060};
constexpr uint32_t kLevelSteps = 14;

}  // namespace

const char* GroundName(Ground ground)
{
    static const char* const names[4] = {"air", "road", "pavement", "field"};
    return names[static_cast<int>(ground) & 3];
}

std::string SlopeText(int slope)
{
    if (slope == 0)
        return "flat";
    if (slope >= 1 && slope <= 8)  // two blocks make each slope: the low one first
        return std::string("26-degree slope ") + kDirections[(slope - 1) / 2] +
               ((slope - 1) % 2 ? ", high half" : ", low half");
    if (slope >= 9 && slope <= 40)  // eight blocks make each, from the bottom up
        return std::string("7-degree slope ") + kDirections[(slope - 9) / 8] + ", part " +
               std::to_string((slope - 9) % 8 + 1) + " of 8 from the bottom";
    if (slope >= 41 && slope <= 44)
        return std::string("45-degree slope ") + kDirections[slope - 41];
    if (slope >= 45 && slope <= 48)
        return std::string("diagonal wall facing ") + kFacings[slope - 45];
    if (slope >= 49 && slope <= 52)
        return std::string("diagonal slope facing ") + kFacings[slope - 49];
    if (slope >= 53 && slope <= 61)
        return std::string("partial block, ") + kPartialSides[slope - 53];
    if (slope == 63)
        return "the block above is a slope";
    return "slope " + std::to_string(slope) + ", not one the game uses";
}

uint32_t SchematicColour(Ground ground, int level)
{
    const uint32_t base = kGroundColours[static_cast<int>(ground) & 3];
    const uint32_t keep = kLevelSteps / 2 + static_cast<uint32_t>(std::clamp(level, 0, 7));
    const auto channel = [&](int shift) { return ((base >> shift) & 0xFF) * keep / kLevelSteps << shift; };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}
