// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A GTA2 style file held in memory: tiles, physical palettes, the virtual palette
// table, sprites and the blocks we keep but do not interpret. Draws tiles and sprites
// onto a Surface, writes them out as 8-bit bitmaps, takes new pixels for them and
// saves the file back.
//
// The model keeps every byte of the file as it was read and reads tiles and sprite
// pixels straight from them, so a replacement changes those bytes and nothing else,
// and a save writes back exactly what was read: unknown chunks, partial items, the
// tags' letter case, chunk order, repeated chunks, whatever follows the last chunk.
// Where a chunk type appears twice, the last one is what is shown and replaced.
//
// Fonts are sprites too: FONB gives each font's number of characters, and the fonts'
// sprites follow those the first five SPRB counts give, font after font.
//
// Failures: a file that cannot be read or is damaged throws FileError naming the
// file and leaves the model as it was; a number outside what was loaded throws
// std::out_of_range, and pixels of the wrong count std::invalid_argument, before
// anything is drawn, written or changed.

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "core/common/Progress.h"
#include "core/sty/Surface.h"

class clsSTY {
public:
    static constexpr int kTileSide = 64;
    static constexpr int kTileBytes = kTileSide * kTileSide;
    static constexpr int kTileStride = 4 * kTileSide;  // tiles are stored four side by side
    static constexpr int kColours = 256;
    static constexpr int kPaletteBytes = kColours * 4;
    static constexpr int kSpriteStride = 256;
    static constexpr uint32_t kMarker = 0xFF00FF;  // magenta, for colour index 0

    // What a drawing covered and the physical palette it was drawn with.
    struct Drawn {
        int16_t lWidth = 0;
        int16_t lHeight = 0;
        int16_t lPal = 0;
    };

    struct SpriteEntry {
        int32_t offset = 0;
        uint8_t width = 0;
        uint8_t height = 0;
    };

    // Reads the whole file; one that does not begin with "GBST" is refused after its
    // first bytes.
    void LoadSTY(const std::string& sFile, Progress& progress = NoProgress());
    // The same from bytes in memory, which are copied; sFile names them in messages.
    void ParseSTY(std::span<const uint8_t> bytes, const std::string& sFile, Progress& progress = NoProgress());
    // The loaded file with its replaced pixels: what SaveSTY writes. Both throw
    // std::logic_error when no file was loaded.
    std::vector<uint8_t> Serialize() const;
    // Those bytes through the safe save with a backup, with no copy of them made first:
    // a style can be hundreds of megabytes.
    void SaveSTY(const std::string& sFile) const;
    // The same bytes as a view, without a copy; empty when no file was loaded.
    std::span<const uint8_t> FileBytes() const { return data_.file; }

    uint32_t GetCol(int Pal, int Col) const;
    Drawn RenderSprite(int Idx, Surface& PicBox, int16_t Pal);
    Drawn RenderTile(int Idx, Surface& PicBox);
    std::string Render(int Idx, Surface& PicBox);
    int16_t GetNumOfTiles() const { return data_.tileCount; }
    int16_t GetNumOfPals() const { return data_.palCount; }
    int16_t GetNumOfPalx() const { return data_.palxCount; }
    int16_t GetNumOfSprx() const { return data_.sprxCount; }
    bool DrawTransparent() const { return drawTransparent_; }
    void DrawTransparent(bool value) { drawTransparent_ = value; }
    void SaveTile(const std::string& sFile, int Idx);
    void SaveSprite(const std::string& sFile, int Idx);

    const SpriteEntry& GetSprite(int Idx) const;
    // The physical palette an item is drawn and exported with.
    int16_t TilePalette(int Idx) const;
    int16_t SpritePalette(int Idx) const;

    // An item's colour indices row by row from the top, width x height bytes.
    std::vector<uint8_t> TileIndices(int Idx) const;
    std::vector<uint8_t> SpriteIndices(int Idx) const;
    // Puts new colour indices, laid out as the two above give them, in the item's place.
    void ReplaceTile(int Idx, std::span<const uint8_t> indices);
    void ReplaceSprite(int Idx, std::span<const uint8_t> indices);
    // The other sprites with pixels on those of sprite Idx: replacing it changes them too.
    std::vector<int> SpritesSharingPixels(int Idx) const;

    // Every font starts at "!": byte b is the font's character b - 33.
    static constexpr int kFirstFontCharacter = 33;
    // None without a FONB chunk. Fonts are numbered from 0; a number outside them throws
    // std::out_of_range.
    int GetNumOfFonts() const { return static_cast<int>(data_.fonts.size()); }
    int FontCharacters(int Font) const;
    // The sprite of the font's first character.
    int FontFirstSprite(int Font) const;
    // The height of its first character's sprite, which every glyph of a font shares;
    // 0 for a font without characters.
    int FontHeight(int Font) const;
    // The sprite that draws `character` (a text's byte) in the font; none outside its range.
    std::optional<int> FontSprite(int Font, uint8_t character) const;

    // Where a chunk's body lies in the file's bytes.
    struct Place {
        std::size_t at = 0;
        std::size_t size = 0;
    };

    struct FontRange {
        int firstSprite = 0;
        int characters = 0;
    };

    // Everything one file yields. A load fills a fresh one and swaps it in only when
    // the whole file has been read.
    struct Contents {
        std::vector<uint8_t> file;  // every byte, as read; tiles and sprite pixels live here
        int16_t tileCount = 0;
        int16_t palCount = 0;
        int16_t palxCount = 0;
        int16_t sprxCount = 0;
        std::size_t tilesAt = 0;        // the shown TILE chunk's body in `file`
        std::vector<uint8_t> palettes;  // palette p: 256 x (blue, green, red, fourth) from p * 1024
        std::vector<int16_t> palx;
        std::vector<SpriteEntry> sprites;
        Place spriteGraphics;                                     // the shown SPRG chunk
        std::map<std::string, std::vector<uint16_t>> wordBlocks;  // SPRB
        std::map<std::string, Place> byteBlocks;                  // DELS, DELX, CARI, ...

        std::vector<FontRange> fonts;
    };

    // The blocks kept without being read, by upper-case chunk type; empty when absent.
    // A byte block is a view of the file's bytes.
    const std::vector<uint16_t>& WordBlock(const std::string& type) const;
    std::span<const uint8_t> ByteBlock(const std::string& type) const;

private:
    void Parse(std::vector<uint8_t> file, const std::string& sFile, Progress& progress);
    std::span<const uint8_t> LoadedBytes() const;
    // The 1024 stored bytes of a physical palette.
    const uint8_t* PaletteBytes(int Pal) const;
    // The physical palette named by a virtual palette entry; `owner` names what asked.
    int16_t VirtualPalette(int entry, const std::string& owner) const;
    // The 256 colours to draw with, the marker rule applied.
    std::vector<uint32_t> DrawingColours(int Pal) const;
    const SpriteEntry& Sprite(int Idx) const;
    const FontRange& FontAt(int Font) const;
    // Row 0 of the tile; each next row starts kTileStride bytes on.
    uint8_t* TileRows(int Idx);
    const uint8_t* TileRows(int Idx) const;
    // Row 0 of the sprite, checked to lie inside the sprite graphics with all its rows;
    // null for a sprite without pixels.
    uint8_t* SpriteRows(int Idx);
    const uint8_t* SpriteRows(int Idx) const;
    // Refuses a sprite whose rows do not lie inside the sprite graphics block.
    void CheckSpritePixels(int Idx, const SpriteEntry& sprite) const;

    Contents data_;
    bool drawTransparent_ = false;
};
