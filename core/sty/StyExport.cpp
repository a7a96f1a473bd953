// SPDX-License-Identifier: GPL-3.0-or-later
// Writing tiles and sprites as 8-bit bitmaps and palettes as JASC-PAL text. Each file
// is built whole in memory and written by WriteExportFile: a new file without waiting for
// the disk, an existing one replaced whole, so a longer file of the same name leaves
// nothing behind and a failed write leaves the old file as it was.
// Everything is looked up before anything is written, so a refused export changes nothing.

#include "core/sty/StyExport.h"

#include <algorithm>
#include <memory>

#include "core/common/BitmapHeader.h"
#include "core/io/FileIO.h"

namespace {

// A bitmap file built in memory: made at its whole size without being cleared, since a
// sprite's file can be tens of kilobytes and every byte is written once.
struct BitmapFile {
    std::unique_ptr<uint8_t[]> bytes;
    std::size_t size = 0;
    uint8_t* pixels = nullptr;  // where the rows go, bottom row first
};

// The header of this image, then the colour table exactly as stored (blue, green, red,
// fourth byte); the rows are the caller's to copy in.
BitmapFile StartBitmap(int width, int height, uint32_t imageSize, const uint8_t* palette)
{
    const BitmapHeader header = Bitmap8Bit(width, height, imageSize);
    const auto bytes = header.Bytes();
    BitmapFile file{std::make_unique_for_overwrite<uint8_t[]>(header.fileSize), header.fileSize};
    const auto tableAt = std::copy(bytes.begin(), bytes.end(), file.bytes.get());
    file.pixels = std::copy(palette, palette + clsSTY::kPaletteBytes, tableAt);
    return file;
}

}  // namespace

void clsSTY::SaveTile(const std::string& sFile, int Idx)
{
    const uint8_t* pixels = TileRows(Idx);
    const uint8_t* palette = PaletteBytes(TilePalette(Idx));

    const BitmapFile out = StartBitmap(kTileSide, kTileSide, kTileBytes, palette);
    uint8_t* to = out.pixels;
    for (int row = kTileSide - 1; row >= 0; --row, to += kTileSide)  // bottom row first
        std::copy_n(pixels + row * kTileStride, kTileSide, to);
    WriteExportFile(sFile, {out.bytes.get(), out.size});
}

void clsSTY::SaveSprite(const std::string& sFile, int Idx)
{
    const SpriteEntry& sprite = Sprite(Idx);
    // Always the sprite's own palette, whatever the viewer last drew it with.
    const uint8_t* palette = PaletteBytes(SpritePalette(Idx));
    const uint8_t* pixels = SpriteRows(Idx);

    const std::size_t padded = (std::size_t{sprite.width} + 3) / 4 * 4;
    const std::size_t imageSize = padded * sprite.height;
    const BitmapFile out = StartBitmap(sprite.width, sprite.height, static_cast<uint32_t>(imageSize), palette);
    uint8_t* to = out.pixels;
    for (int y = sprite.height - 1; pixels && y >= 0; --y, to += padded) {  // bottom row first
        uint8_t* const end = std::copy_n(pixels + static_cast<std::ptrdiff_t>(y) * kSpriteStride, sprite.width, to);
        std::fill(end, to + padded, 0);  // the padding
    }
    WriteExportFile(sFile, {out.bytes.get(), out.size});
}

std::string JascPalText(const clsSTY& sty, int Pal)
{
    std::string text = "JASC-PAL\r\n0100\r\n256\r\n";
    for (int c = 0; c < clsSTY::kColours; ++c) {
        const uint32_t rgb = sty.GetCol(Pal, c);
        text += std::to_string((rgb >> 16) & 0xFF) + " " + std::to_string((rgb >> 8) & 0xFF) + " " +
                std::to_string(rgb & 0xFF) + "\r\n";
    }
    return text;
}

void SavePal(const std::string& sFile, const clsSTY& sty, int Pal)
{
    WriteExportFile(sFile, AsBytes(JascPalText(sty, Pal)));
}
