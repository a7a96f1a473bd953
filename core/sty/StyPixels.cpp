// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and replacing the colour indices of tiles and sprites where they stand in the
// file's bytes. Every number and count is checked before a byte changes, so a refused
// replacement leaves the model as it was.

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "core/sty/clsSTY.h"

namespace {

int64_t FloorDiv(int64_t a, int64_t b)
{
    return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// Whether two sprites, rows of kSpriteStride apart, have a pixel byte in common.
bool Overlap(const clsSTY::SpriteEntry& a, const clsSTY::SpriteEntry& b)
{
    constexpr int64_t stride = clsSTY::kSpriteStride;
    if (a.width == 0 || a.height == 0 || b.width == 0 || b.height == 0)
        return false;
    const int64_t aEnd = a.offset + (a.height - 1) * stride + a.width;
    const int64_t bEnd = b.offset + (b.height - 1) * stride + b.width;
    if (aEnd <= b.offset || bEnd <= a.offset)
        return false;
    for (int y = 0; y < a.height; ++y) {
        // Row r of b, from b.offset + r * stride, meets [start, start + a.width) when it
        // begins before that row's end and ends after its start.
        const int64_t start = a.offset + y * stride;
        const int64_t first = std::max<int64_t>(FloorDiv(start - b.width - b.offset, stride) + 1, 0);
        const int64_t last = std::min<int64_t>(FloorDiv(start + a.width - 1 - b.offset, stride), b.height - 1);
        if (first <= last)
            return true;
    }
    return false;
}

void CheckCount(const std::string& item, std::size_t expected, std::size_t given)
{
    if (given != expected)
        throw std::invalid_argument(item + " takes " + std::to_string(expected) + " colour indices, not " +
                                    std::to_string(given));
}

}  // namespace

const uint8_t* clsSTY::TileRows(int Idx) const
{
    if (Idx < 0 || Idx >= data_.tileCount)
        throw std::out_of_range("tile " + std::to_string(Idx) + " does not exist (the file has " +
                                std::to_string(data_.tileCount) + " tiles)");
    // Tile t is column t % 4 of group t / 4.
    return data_.file.data() + data_.tilesAt + static_cast<std::size_t>(Idx / 4) * 4 * kTileBytes +
           static_cast<std::size_t>(Idx % 4) * kTileSide;
}

uint8_t* clsSTY::TileRows(int Idx)
{
    return const_cast<uint8_t*>(std::as_const(*this).TileRows(Idx));
}

const uint8_t* clsSTY::SpriteRows(int Idx) const
{
    const SpriteEntry& sprite = Sprite(Idx);
    CheckSpritePixels(Idx, sprite);
    if (sprite.width == 0 || sprite.height == 0)
        return nullptr;  // its offset was never checked, so is never used
    return data_.file.data() + data_.spriteGraphics.at + sprite.offset;
}

uint8_t* clsSTY::SpriteRows(int Idx)
{
    return const_cast<uint8_t*>(std::as_const(*this).SpriteRows(Idx));
}

std::vector<uint8_t> clsSTY::TileIndices(int Idx) const
{
    const uint8_t* rows = TileRows(Idx);
    std::vector<uint8_t> out(kTileBytes);
    for (int y = 0; y < kTileSide; ++y)
        std::memcpy(out.data() + y * kTileSide, rows + y * kTileStride, kTileSide);
    return out;
}

std::vector<uint8_t> clsSTY::SpriteIndices(int Idx) const
{
    const uint8_t* rows = SpriteRows(Idx);
    const SpriteEntry& sprite = Sprite(Idx);
    std::vector<uint8_t> out(std::size_t{sprite.width} * sprite.height);
    for (int y = 0; rows && y < sprite.height; ++y)
        std::memcpy(out.data() + y * sprite.width, rows + y * kSpriteStride, sprite.width);
    return out;
}

void clsSTY::ReplaceTile(int Idx, std::span<const uint8_t> indices)
{
    uint8_t* rows = TileRows(Idx);
    CheckCount("tile " + std::to_string(Idx), kTileBytes, indices.size());
    for (int y = 0; y < kTileSide; ++y)
        std::memcpy(rows + y * kTileStride, indices.data() + y * kTileSide, kTileSide);
}

void clsSTY::ReplaceSprite(int Idx, std::span<const uint8_t> indices)
{
    uint8_t* rows = SpriteRows(Idx);
    const SpriteEntry& sprite = Sprite(Idx);
    CheckCount("sprite " + std::to_string(Idx), std::size_t{sprite.width} * sprite.height, indices.size());
    for (int y = 0; rows && y < sprite.height; ++y)
        std::memcpy(rows + y * kSpriteStride, indices.data() + y * sprite.width, sprite.width);
}

std::vector<int> clsSTY::SpritesSharingPixels(int Idx) const
{
    SpriteRows(Idx);  // checks the number and the pixels
    const SpriteEntry& sprite = Sprite(Idx);
    std::vector<int> sharing;
    for (int other = 0; other < data_.sprxCount; ++other)
        if (other != Idx && Overlap(sprite, data_.sprites[static_cast<std::size_t>(other)]))
            sharing.push_back(other);
    return sharing;
}
