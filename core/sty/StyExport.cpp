// Writing tiles and sprites as 8-bit bitmaps and palettes as JASC-PAL text. Each file
// is built whole in memory and put in place by ReplaceWholeFile, so a longer file of the
// same name leaves nothing behind and a failed write leaves the old file as it was.
// Everything is looked up before anything is written, so a refused export changes nothing.

#include "core/sty/StyExport.h"

#include <algorithm>

#include "core/common/BitmapHeader.h"
#include "core/io/FileIO.h"

namespace {

// The header of this image, then the colour table exactly as stored (blue, green, red,
// fourth byte).
std::vector<uint8_t> StartBitmap(int width, int height, uint32_t imageSize, const uint8_t* palette)
{
    const BitmapHeader header = Bitmap8Bit(width, height, imageSize);
    const auto bytes = header.Bytes();
    // Sized first and filled by copies: inserting into the empty vector draws a false
    // overflow warning from GCC 12 at -O3.
    std::vector<uint8_t> out(bytes.size() + clsSTY::kPaletteBytes);
    out.reserve(header.fileSize);
    const auto tableAt = std::copy(bytes.begin(), bytes.end(), out.begin());
    std::copy(palette, palette + clsSTY::kPaletteBytes, tableAt);
    return out;
}

}  // namespace

void clsSTY::SaveTile(const std::string& sFile, int Idx)
{
    const uint8_t* pixels = TileRows(Idx);
    const uint8_t* palette = PaletteBytes(TilePalette(Idx));

    std::vector<uint8_t> out = StartBitmap(kTileSide, kTileSide, kTileBytes, palette);
    for (int row = kTileSide - 1; row >= 0; --row)  // bottom row first
        out.insert(out.end(), pixels + row * kTileStride, pixels + row * kTileStride + kTileSide);
    ReplaceWholeFile(sFile, out);
}

void clsSTY::SaveSprite(const std::string& sFile, int Idx)
{
    const SpriteEntry& sprite = Sprite(Idx);
    // Always the sprite's own palette, whatever the viewer last drew it with.
    const uint8_t* palette = PaletteBytes(SpritePalette(Idx));
    const uint8_t* pixels = SpriteRows(Idx);

    const std::size_t padded = (std::size_t{sprite.width} + 3) / 4 * 4;
    std::vector<uint8_t> out =
        StartBitmap(sprite.width, sprite.height, static_cast<uint32_t>(padded * sprite.height), palette);
    for (int y = sprite.height - 1; y >= 0; --y) {
        if (pixels) {
            const uint8_t* row = pixels + static_cast<std::ptrdiff_t>(y) * kSpriteStride;
            out.insert(out.end(), row, row + sprite.width);
        }
        out.insert(out.end(), padded - sprite.width, 0);
    }
    ReplaceWholeFile(sFile, out);
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
    ReplaceWholeFile(sFile, AsBytes(JascPalText(sty, Pal)));
}
