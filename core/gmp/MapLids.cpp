// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gmp/MapLids.h"

#include <algorithm>
#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/sty/clsSTY.h"

namespace {

constexpr uint16_t kTileBits = 0x3FF;

// Keeps the rows the style draws.
class TileCapture : public Surface {
public:
    std::vector<uint32_t> pixels = std::vector<uint32_t>(kLidSide * kLidSide, 0);

    void Clear() override { std::fill(pixels.begin(), pixels.end(), 0); }
    void SetPixel(int x, int y, uint32_t colour) override
    {
        if (x >= 0 && y >= 0 && x < kLidSide && y < kLidSide)
            pixels[static_cast<std::size_t>(y * kLidSide + x)] = colour;
    }
};

// Where in the tile the pixel (x, y) of the mirrored, turned lid comes from: the turn
// undone first, then the mirroring.
std::size_t SourceOf(int x, int y, const LidLook& look)
{
    constexpr int last = kLidSide - 1;
    int sx = x, sy = y;
    switch (look.quarterTurns & 3) {
        case 1:
            sx = y, sy = last - x;
            break;
        case 2:
            sx = last - x, sy = last - y;
            break;
        case 3:
            sx = last - y, sy = x;
            break;
        default:
            break;
    }
    if (look.flip)
        sx = last - sx;
    return static_cast<std::size_t>(sy * kLidSide + sx);
}

}  // namespace

LidLook LookOfFace(uint16_t face)
{
    return {face & kTileBits, (face >> 10) & 3, (face & 0x2000) != 0, (face >> 14) & 3};
}

uint32_t Darken(uint32_t colour, int lighting)
{
    const uint32_t keep = static_cast<uint32_t>(8 - std::clamp(lighting, 0, 3));
    const auto channel = [&](int shift) { return (((colour >> shift) & 0xFF) * keep / 8) << shift; };
    return channel(16) | channel(8) | channel(0);
}

std::vector<uint32_t> DrawLid(clsSTY& style, const LidLook& look)
{
    TileCapture tile;
    style.RenderTile(look.tile, tile);
    std::vector<uint32_t> lid(tile.pixels.size());
    for (int y = 0; y < kLidSide; ++y)
        for (int x = 0; x < kLidSide; ++x)
            lid[static_cast<std::size_t>(y * kLidSide + x)] = Darken(tile.pixels[SourceOf(x, y, look)], look.lighting);
    return lid;
}

uint32_t FlatLidColour(const LidLook& look)
{
    // A mixing hash spreads neighbouring numbers; each channel stays between 48 and
    // 223 so that no lid is lost against black or white.
    uint32_t h = static_cast<uint32_t>(look.tile) * 0x9E3779B1u;
    h ^= h >> 15;
    h *= 0x85EBCA77u;
    h ^= h >> 13;
    const auto channel = [&](int shift) { return (48 + ((h >> shift) & 0xFF) * 176 / 256) << shift; };
    return Darken(channel(16) | channel(8) | channel(0), look.lighting);
}

std::vector<SeenLid> SeenFromAbove(const CityMap& map, int level)
{
    if (level < 0 || level >= CityMap::kLevels)
        throw std::out_of_range("level " + std::to_string(level) + " is not between 0 and 7");
    std::vector<SeenLid> seen(static_cast<std::size_t>(CityMap::kSide) * CityMap::kSide);
    for (int y = 0; y < CityMap::kSide; ++y)
        for (int x = 0; x < CityMap::kSide; ++x)
            for (int z = level; z >= 0; --z) {
                const uint32_t n = map.BlockNumberAt(x, y, z);
                const MapBlock* block = n != 0 ? &map.Block(n) : nullptr;
                if (block && (block->lid & kTileBits) != 0) {
                    seen[static_cast<std::size_t>(y * CityMap::kSide + x)] = {block->lid, block->slope,
                                                                              static_cast<int8_t>(z)};
                    break;
                }
            }
    return seen;
}

std::vector<uint16_t> LidsFromAbove(const CityMap& map, int level)
{
    const std::vector<SeenLid> seen = SeenFromAbove(map, level);
    std::vector<uint16_t> lids(seen.size());
    std::transform(seen.begin(), seen.end(), lids.begin(), [](const SeenLid& lid) { return lid.face; });
    return lids;
}
