// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 14-byte bitmap file header and the 40-byte information header of an exported
// image. Bytes() lays the fields out little-endian, field after field, whatever the
// host's struct layout.

#include <array>
#include <cstddef>
#include <cstdint>

struct BitmapHeader {
    static constexpr std::size_t kSize = 54;

    char signature[2] = {'B', 'M'};
    uint32_t fileSize = 0;
    uint32_t reserved = 0;
    uint32_t pixelDataOffset = 0;
    uint32_t infoHeaderSize = 40;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 1;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xResolution = 0;
    int32_t yResolution = 0;
    uint32_t coloursUsed = 0;
    uint32_t importantColours = 0;

    std::array<uint8_t, kSize> Bytes() const;
};

// The header of an 8-bit image with all 256 colours in its table, the table right after
// the header and `imageSize` bytes of pixels after the table.
BitmapHeader Bitmap8Bit(int32_t width, int32_t height, uint32_t imageSize);
