// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the style reader: load or be refused with a
// message naming it, leaving the previous file's data untouched; draw every tile and
// sprite inside the size it reports, or refuse with std::out_of_range before touching
// the surface; export the first tile and sprite as bitmaps of exactly the size their
// header gives, or refuse the same way; and hold the file's bytes to save back as they
// came, also after every tile and sprite has been given its own pixels again.

#include <algorithm>
#include <filesystem>
#include <functional>
#include <numeric>
#include <span>
#include <string>
#include <vector>

#include "core/common/BitmapHeader.h"
#include "core/io/FileIO.h"
#include "core/sty/clsSTY.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"

namespace stycheck {

// Records how far drawing reached, so a pixel outside the image is caught.
class BoundsSurface : public Surface {
public:
    void Clear() override { ++clears; }
    void SetPixel(int x, int y, uint32_t colour) override
    {
        ++pixels;
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
        Require(colour <= 0xFFFFFF, "a colour with bits above 0x00RRGGBB");
    }
    int clears = 0;
    long pixels = 0;
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
};

// Draws with `render`; a refusal must leave the surface alone, a drawing must cover
// exactly the size it reports.
template <class Render>
void CheckDrawing(const std::string& what, Render&& render)
{
    BoundsSurface surface;
    clsSTY::Drawn drawn;
    try {
        drawn = render(surface);
    } catch (const std::out_of_range&) {
        Require(surface.clears == 0 && surface.pixels == 0, what + " was refused after it had started drawing");
        return;
    }
    const long area = long{drawn.lWidth} * drawn.lHeight;
    Require(surface.pixels == area, what + " set " + std::to_string(surface.pixels) + " pixels for " +
                                        std::to_string(drawn.lWidth) + " x " + std::to_string(drawn.lHeight));
    if (area > 0)
        Require(surface.minX >= 0 && surface.minY >= 0 && surface.maxX < drawn.lWidth && surface.maxY < drawn.lHeight,
                what + " drew outside its own size");
}

// Exports with `save`; a written file must be exactly the size its header gives.
template <class Save>
void CheckExport(const std::string& file, const std::string& what, Save&& save)
{
    std::filesystem::remove(file);
    try {
        save();
    } catch (const std::out_of_range&) {
        Require(!std::filesystem::exists(file), what + " was refused but wrote a file");
        return;
    }
    const std::string bytes = TempDir::Read(file);
    Require(bytes.size() >= BitmapHeader::kSize && bytes.compare(0, 2, "BM") == 0, what + " wrote no bitmap");
    const uint32_t declared = static_cast<uint8_t>(bytes[2]) | static_cast<uint8_t>(bytes[3]) << 8 |
                              static_cast<uint8_t>(bytes[4]) << 16 |
                              static_cast<uint32_t>(static_cast<uint8_t>(bytes[5])) << 24;
    Require(declared == bytes.size(),
            what + " is " + std::to_string(bytes.size()) + " bytes, its header says " + std::to_string(declared));
}

// Counts and the colours of the first palettes: enough to see a model change.
inline std::vector<uint32_t> Fingerprint(const clsSTY& sty)
{
    std::vector<uint32_t> print{static_cast<uint32_t>(sty.GetNumOfTiles()), static_cast<uint32_t>(sty.GetNumOfPals()),
                                static_cast<uint32_t>(sty.GetNumOfPalx()), static_cast<uint32_t>(sty.GetNumOfSprx())};
    for (int p = 0; p < std::min<int>(sty.GetNumOfPals(), 2); ++p)
        for (int c = 0; c < clsSTY::kColours; ++c)
            print.push_back(sty.GetCol(p, c));
    return print;
}

}  // namespace stycheck

inline void CheckStyFile(std::span<const uint8_t> input, const std::string& name, const TempDir& scratch)
{
    using namespace stycheck;
    static const std::string baseline = sty_test::SmallStyle().Build();
    clsSTY sty;
    sty.ParseSTY(AsBytes(baseline), "baseline.sty");
    const std::vector<uint32_t> before = Fingerprint(sty);

    if (Refusal(name, [&] { sty.ParseSTY(input, name); })) {
        Require(Fingerprint(sty) == before, "a refused file changed the model");
        return;
    }
    Require(sty.GetNumOfTiles() >= 0 && sty.GetNumOfPals() >= 0 && sty.GetNumOfPalx() >= 0 && sty.GetNumOfSprx() >= 0,
            "a negative count");
    for (bool transparent : {false, true}) {
        sty.DrawTransparent(transparent);
        for (int t = 0; t < sty.GetNumOfTiles(); ++t)
            CheckDrawing("tile " + std::to_string(t), [&](Surface& s) { return sty.RenderTile(t, s); });
        for (int s = 0; s < sty.GetNumOfSprx(); ++s)
            CheckDrawing("sprite " + std::to_string(s),
                         [&](Surface& surface) { return sty.RenderSprite(s, surface, 0); });
    }
    for (int outside : {-1, static_cast<int>(sty.GetNumOfTiles()) + sty.GetNumOfSprx()}) {
        BoundsSurface surface;
        Require(ThrowsOutOfRange([&] { sty.Render(outside, surface); }),
                "item " + std::to_string(outside) + " was drawn");
    }
    const auto same = [&] { return std::ranges::equal(sty.Serialize(), input); };
    Require(same(), "a loaded file would not save back to the same bytes");
    for (int t = 0; t < sty.GetNumOfTiles(); ++t)
        sty.ReplaceTile(t, sty.TileIndices(t));
    for (int s = 0; s < sty.GetNumOfSprx(); ++s)  // one outside the sprite graphics is refused
        ThrowsOutOfRange([&] { sty.ReplaceSprite(s, sty.SpriteIndices(s)); });
    Require(same(), "putting items' own pixels back changed the file");
    if (sty.GetNumOfTiles() > 0) {  // every pixel of tile 0 changed: 4096 bytes differ, no more
        const std::vector<uint8_t> tile = sty.TileIndices(0);
        std::vector<uint8_t> inverse = tile;
        for (uint8_t& v : inverse)
            v = static_cast<uint8_t>(255 - v);
        sty.ReplaceTile(0, inverse);
        const std::vector<uint8_t> bytes = sty.Serialize();
        const auto differ = std::inner_product(bytes.begin(), bytes.end(), input.begin(), std::size_t{0}, std::plus<>(),
                                               std::not_equal_to<>());
        Require(differ == clsSTY::kTileBytes && sty.TileIndices(0) == inverse,
                "a tile replacement changed other bytes");
        sty.ReplaceTile(0, tile);
    }
    const std::string bitmap = scratch.File("export.bmp");
    if (sty.GetNumOfTiles() > 0)
        CheckExport(bitmap, "tile 0", [&] { sty.SaveTile(bitmap, 0); });
    if (sty.GetNumOfSprx() > 0)
        CheckExport(bitmap, "sprite 0", [&] { sty.SaveSprite(bitmap, 0); });
}
