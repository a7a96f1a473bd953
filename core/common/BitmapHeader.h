#pragma once
// The 14-byte bitmap file header and the 40-byte information header, kept as one
// record shared by every bitmap export. Bytes() lays the fields out little-endian,
// field after field, whatever the host's struct layout.

#include <array>
#include <cstdint>

struct BitmapHeader {
    static constexpr std::size_t kSize = 54;

    char signature[2] = {0, 0};
    uint32_t fileSize = 0;
    uint32_t reserved = 0;
    uint32_t pixelDataOffset = 0;
    uint32_t infoHeaderSize = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t xResolution = 0;
    int32_t yResolution = 0;
    uint32_t coloursUsed = 0;
    uint32_t importantColours = 0;

    std::array<uint8_t, kSize> Bytes() const;
};

BitmapHeader& SharedBitmapHeader();

// Sets the fixed fields for an 8-bit, 256-colour image; width, height and image size
// are left for each writer to set.
void InitBitmapHeader();
