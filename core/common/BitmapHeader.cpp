// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/BitmapHeader.h"

#include "core/io/LittleEndian.h"

namespace {

// Fills a fixed array front to back, for PutLE.
class ArrayWriter {
public:
    using value_type = uint8_t;
    explicit ArrayWriter(std::array<uint8_t, BitmapHeader::kSize>& out) : out_(out) {}
    void push_back(uint8_t byte) { out_[pos_++] = byte; }

private:
    std::array<uint8_t, BitmapHeader::kSize>& out_;
    std::size_t pos_ = 0;
};

constexpr uint32_t kColourTableBytes = 256 * 4;

}  // namespace

std::array<uint8_t, BitmapHeader::kSize> BitmapHeader::Bytes() const
{
    std::array<uint8_t, kSize> out{};
    ArrayWriter w(out);
    w.push_back(static_cast<uint8_t>(signature[0]));
    w.push_back(static_cast<uint8_t>(signature[1]));
    PutLE32(w, fileSize);
    PutLE32(w, reserved);
    PutLE32(w, pixelDataOffset);
    PutLE32(w, infoHeaderSize);
    PutLE32(w, static_cast<uint32_t>(width));
    PutLE32(w, static_cast<uint32_t>(height));
    PutLE(w, planes, 2);
    PutLE(w, bitsPerPixel, 2);
    PutLE32(w, compression);
    PutLE32(w, imageSize);
    PutLE32(w, static_cast<uint32_t>(xResolution));
    PutLE32(w, static_cast<uint32_t>(yResolution));
    PutLE32(w, coloursUsed);
    PutLE32(w, importantColours);
    return out;
}

BitmapHeader Bitmap8Bit(int32_t width, int32_t height, uint32_t imageSize)
{
    BitmapHeader h;
    h.pixelDataOffset = BitmapHeader::kSize + kColourTableBytes;
    h.fileSize = h.pixelDataOffset + imageSize;
    h.width = width;
    h.height = height;
    h.bitsPerPixel = 8;
    h.imageSize = imageSize;
    h.coloursUsed = 256;
    h.importantColours = 256;
    return h;
}
