#pragma once
// A GTA2 style file held in memory: tiles, physical palettes, the virtual palette
// table, sprites and the blocks we keep but do not interpret. Draws tiles and sprites
// onto a Surface and writes them out as 8-bit bitmaps. Style files are never written.
//
// Failures: a file that cannot be read or is damaged throws FileError naming the
// file and leaves the model as it was; a number outside what was loaded throws
// std::out_of_range before anything is drawn or written.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/sty/Surface.h"

class clsSTY {
public:
    static constexpr int kTileSide = 64;
    static constexpr int kTileBytes = kTileSide * kTileSide;
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

    void LoadSTY(const std::string& sFile);
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

    struct SpriteEntry {
        int32_t offset = 0;
        uint8_t width = 0;
        uint8_t height = 0;
    };

    // Everything one file yields. A load fills a fresh one and swaps it in only when
    // the whole file has been read.
    struct Contents {
        int16_t tileCount = 0;
        int16_t palCount = 0;
        int16_t palxCount = 0;
        int16_t sprxCount = 0;
        std::vector<uint8_t> tiles;     // tile t: 64 rows of 64 bytes from t * 4096
        std::vector<uint8_t> palettes;  // palette p: 256 x (blue, green, red, fourth) from p * 1024
        std::vector<int16_t> palx;
        std::vector<SpriteEntry> sprites;
        std::vector<uint8_t> spriteGraphics;
        std::map<std::string, std::vector<uint16_t>> wordBlocks;  // SPRB, FONB
        std::map<std::string, std::vector<uint8_t>> byteBlocks;   // DELS, DELX, CARI, ...
    };

    // The blocks kept without being read, by upper-case chunk type; empty when absent.
    const std::vector<uint16_t>& WordBlock(const std::string& type) const;
    const std::vector<uint8_t>& ByteBlock(const std::string& type) const;

private:
    // The 1024 stored bytes of a physical palette.
    const uint8_t* PaletteBytes(int Pal) const;
    // The physical palette named by a virtual palette entry; `owner` names what asked.
    int16_t VirtualPalette(int entry, const std::string& owner) const;
    // The 256 colours to draw with, the marker rule applied.
    std::vector<uint32_t> DrawingColours(int Pal) const;
    const SpriteEntry& Sprite(int Idx) const;
    const uint8_t* TilePixels(int Idx) const;
    // Refuses a sprite whose rows do not lie inside the sprite graphics block.
    void CheckSpritePixels(int Idx, const SpriteEntry& sprite) const;

    Contents data_;
    bool drawTransparent_ = false;
};
