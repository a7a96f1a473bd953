// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gmp/CityPicture.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>

#include "core/gmp/CityMap.h"
#include "core/gmp/Ground.h"

namespace {

constexpr int kSide = CityMap::kSide;
// The flat bit changes nothing seen from above.
constexpr uint16_t kLookBits = 0xEFFF;

std::size_t At(int x, int y, int width)
{
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
}

// Each look of a lid drawn once at the picture's scale.
class SizedLids {
public:
    SizedLids(clsSTY& style, int side) : style_(style), side_(side) {}

    const std::vector<uint32_t>& Of(uint16_t face)
    {
        auto [at, added] = looks_.try_emplace(static_cast<uint16_t>(face & kLookBits));
        if (added) {
            const LidLook look = LookOfFace(face);
            try {
                at->second = ShrinkLid(DrawLid(style_, look), side_);
            } catch (const std::out_of_range&) {
                // A tile the style lacks, or the engine's own numbers, show as flat colour.
                at->second.assign(static_cast<std::size_t>(side_) * side_, 0xFF000000u | FlatLidColour(look));
            }
        }
        return at->second;
    }

private:
    clsSTY& style_;
    int side_;
    std::unordered_map<uint16_t, std::vector<uint32_t>> looks_;
};

}  // namespace

uint32_t SchematicColour(const SeenLid& lid)
{
    return lid.level < 0 ? kMapBackground : SchematicColour(GroundOf(lid.slope), lid.level);
}

std::vector<uint32_t> SchematicSquares(const CityMap& map, int level)
{
    const std::vector<SeenLid> seen = SeenFromAbove(map, level);
    std::vector<uint32_t> colours(seen.size());
    std::transform(seen.begin(), seen.end(), colours.begin(), [](const SeenLid& lid) { return SchematicColour(lid); });
    return colours;
}

std::vector<uint32_t> ShrinkLid(std::span<const uint32_t> lid, int side)
{
    if (side < 1 || side > kLidSide || lid.size() != static_cast<std::size_t>(kLidSide) * kLidSide)
        throw std::invalid_argument("a lid shrinks from 64 x 64 pixels to 1 to 64 a side, not " + std::to_string(side));
    std::vector<uint32_t> out(static_cast<std::size_t>(side) * side);
    for (int oy = 0; oy < side; ++oy)
        for (int ox = 0; ox < side; ++ox) {
            const int x0 = ox * kLidSide / side, x1 = (ox + 1) * kLidSide / side;
            const int y0 = oy * kLidSide / side, y1 = (oy + 1) * kLidSide / side;
            uint32_t sum[3] = {0, 0, 0};
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += (lid[At(x, y, kLidSide)] >> (8 * c)) & 0xFF;
            const auto count = static_cast<uint32_t>((x1 - x0) * (y1 - y0));
            uint32_t pixel = 0xFF000000u;
            for (int c = 0; c < 3; ++c)
                pixel |= (sum[c] + count / 2) / count << (8 * c);
            out[At(ox, oy, side)] = pixel;
        }
    return out;
}

CityPicture DrawCity(const CityMap& map, clsSTY* style, int level, int scale)
{
    if (scale < 1 || scale > kLidSide)
        throw std::invalid_argument("a map is drawn at 1 to 64 pixels a block, not " + std::to_string(scale));
    const std::vector<SeenLid> seen = SeenFromAbove(map, level);
    CityPicture picture{kSide * scale, {}};
    picture.pixels.assign(static_cast<std::size_t>(picture.side) * picture.side, kMapBackground);
    std::optional<SizedLids> lids;
    if (style)
        lids.emplace(*style, scale);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            const SeenLid& lid = seen[At(x, y, kSide)];
            if (lid.level < 0)
                continue;
            const uint32_t flat = SchematicColour(lid);
            const std::vector<uint32_t>* tile = lids ? &lids->Of(lid.face) : nullptr;
            for (int row = 0; row < scale; ++row) {
                uint32_t* line = &picture.pixels[At(x * scale, y * scale + row, picture.side)];
                if (tile)
                    std::copy_n(tile->begin() + row * scale, scale, line);
                else
                    std::fill_n(line, scale, flat);
            }
        }
    return picture;
}
