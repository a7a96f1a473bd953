// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing tiles and sprites, and the look-ups the drawing and the export share.
// Every number is checked against what was loaded before any pixel is set, so a
// refused call leaves the surface alone.

#include <stdexcept>

#include "core/sty/clsSTY.h"

namespace {

std::string Count(int n, const char* what)
{
    return std::to_string(n) + " " + what;
}

}  // namespace

const uint8_t* clsSTY::PaletteBytes(int Pal) const
{
    if (Pal < 0 || Pal >= data_.palCount)
        throw std::out_of_range("physical palette " + std::to_string(Pal) + " was not loaded (the file has " +
                                Count(data_.palCount, "physical palettes") + ")");
    return data_.palettes.data() + static_cast<std::size_t>(Pal) * kPaletteBytes;
}

int16_t clsSTY::VirtualPalette(int entry, const std::string& owner) const
{
    if (entry < 0 || entry >= data_.palxCount)
        throw std::out_of_range(owner + " uses virtual palette entry " + std::to_string(entry) +
                                ", which was not loaded (the file has " +
                                Count(data_.palxCount, "virtual palette entries") + ")");
    return data_.palx[static_cast<std::size_t>(entry)];
}

int16_t clsSTY::TilePalette(int Idx) const
{
    return VirtualPalette(Idx, "tile " + std::to_string(Idx));
}

int16_t clsSTY::SpritePalette(int Idx) const
{
    return VirtualPalette(data_.tileCount + Idx, "sprite " + std::to_string(Idx));
}

const clsSTY::SpriteEntry& clsSTY::GetSprite(int Idx) const
{
    return Sprite(Idx);
}

const clsSTY::SpriteEntry& clsSTY::Sprite(int Idx) const
{
    if (Idx < 0 || Idx >= data_.sprxCount)
        throw std::out_of_range("sprite " + std::to_string(Idx) + " does not exist (the file has " +
                                Count(data_.sprxCount, "sprites") + ")");
    return data_.sprites[static_cast<std::size_t>(Idx)];
}

void clsSTY::CheckSpritePixels(int Idx, const SpriteEntry& sprite) const
{
    if (sprite.width == 0 || sprite.height == 0)
        return;  // nothing is read
    const int64_t first = sprite.offset;
    const int64_t end = first + int64_t{sprite.height - 1} * kSpriteStride + sprite.width;
    if (first < 0 || end > static_cast<int64_t>(data_.spriteGraphics.size))
        throw std::out_of_range("sprite " + std::to_string(Idx) + " lies outside the sprite graphics (bytes " +
                                std::to_string(first) + " to " + std::to_string(end - 1) + " of " +
                                std::to_string(data_.spriteGraphics.size) + ")");
}

uint32_t clsSTY::GetCol(int Pal, int Col) const
{
    if (Col < 0 || Col >= kColours)
        throw std::out_of_range("colour index " + std::to_string(Col) + " is not between 0 and 255");
    const uint8_t* colour = PaletteBytes(Pal) + Col * 4;  // blue, green, red, fourth byte
    return uint32_t{colour[2]} << 16 | uint32_t{colour[1]} << 8 | colour[0];
}

std::vector<uint32_t> clsSTY::DrawingColours(int Pal) const
{
    std::vector<uint32_t> colours(kColours);
    for (int c = 0; c < kColours; ++c)
        colours[static_cast<std::size_t>(c)] = GetCol(Pal, c);
    if (drawTransparent_)
        colours[0] = kMarker;
    return colours;
}

clsSTY::Drawn clsSTY::RenderTile(int Idx, Surface& PicBox)
{
    const uint8_t* pixels = TileRows(Idx);
    const int16_t pal = TilePalette(Idx);
    const std::vector<uint32_t> colours = DrawingColours(pal);

    PicBox.Clear();
    uint32_t row[kTileSide];
    for (int y = 0; y < kTileSide; ++y, pixels += kTileStride) {
        for (int x = 0; x < kTileSide; ++x)
            row[x] = colours[pixels[x]];
        PicBox.SetRow(0, y, row, kTileSide);
    }
    return {kTileSide, kTileSide, pal};
}

clsSTY::Drawn clsSTY::RenderSprite(int Idx, Surface& PicBox, int16_t Pal)
{
    const SpriteEntry& sprite = Sprite(Idx);
    // 0 means the sprite's own palette, so physical palette 0 cannot be forced here.
    const int16_t pal = Pal != 0 ? Pal : SpritePalette(Idx);
    const std::vector<uint32_t> colours = DrawingColours(pal);
    const uint8_t* pixels = SpriteRows(Idx);

    PicBox.Clear();
    uint32_t row[kSpriteStride];
    for (int y = 0; pixels && y < sprite.height; ++y, pixels += kSpriteStride) {
        for (int x = 0; x < sprite.width; ++x)
            row[x] = colours[pixels[x]];
        PicBox.SetRow(0, y, row, sprite.width);
    }
    return {sprite.width, sprite.height, pal};
}

std::string clsSTY::Render(int Idx, Surface& PicBox)
{
    if (Idx < data_.tileCount) {
        RenderTile(Idx, PicBox);
        return "Tile";
    }
    RenderSprite(Idx - data_.tileCount, PicBox, 0);
    return "Sprite";
}
