#include "core/common/BitmapHeader.h"

namespace {

class LittleEndianWriter {
public:
    explicit LittleEndianWriter(std::array<uint8_t, BitmapHeader::kSize>& out) : out_(out) {}

    void Put(uint32_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i)
            out_[pos_++] = static_cast<uint8_t>(value >> (8 * i));
    }

private:
    std::array<uint8_t, BitmapHeader::kSize>& out_;
    std::size_t pos_ = 0;
};

}  // namespace

std::array<uint8_t, BitmapHeader::kSize> BitmapHeader::Bytes() const
{
    std::array<uint8_t, kSize> out{};
    LittleEndianWriter w(out);
    w.Put(static_cast<uint8_t>(signature[0]), 1);
    w.Put(static_cast<uint8_t>(signature[1]), 1);
    w.Put(fileSize, 4);
    w.Put(reserved, 4);
    w.Put(pixelDataOffset, 4);
    w.Put(infoHeaderSize, 4);
    w.Put(static_cast<uint32_t>(width), 4);
    w.Put(static_cast<uint32_t>(height), 4);
    w.Put(planes, 2);
    w.Put(bitsPerPixel, 2);
    w.Put(compression, 4);
    w.Put(imageSize, 4);
    w.Put(static_cast<uint32_t>(xResolution), 4);
    w.Put(static_cast<uint32_t>(yResolution), 4);
    w.Put(coloursUsed, 4);
    w.Put(importantColours, 4);
    return out;
}

BitmapHeader& SharedBitmapHeader()
{
    static BitmapHeader header;
    return header;
}

void InitBitmapHeader()
{
    BitmapHeader& h = SharedBitmapHeader();
    h.signature[0] = 'B';
    h.signature[1] = 'M';
    h.fileSize = 5174;  // an exported 64 x 64 tile
    h.reserved = 0;
    h.pixelDataOffset = 1078;  // 14 + 40 + 256 palette entries of 4 bytes
    h.infoHeaderSize = 40;
    h.planes = 1;
    h.bitsPerPixel = 8;
    h.compression = 0;
    h.xResolution = 0;
    h.yResolution = 0;
    h.coloursUsed = 256;
    h.importantColours = 256;
}
