#include "core/io/ByteReader.h"

#include "core/io/LittleEndian.h"

void ByteReader::Require(std::size_t n) const
{
    if (!CanRead(n))
        throw TruncatedData("needs " + std::to_string(n) + " bytes at offset " + std::to_string(pos_) + " but only " +
                            std::to_string(Remaining()) + " remain");
}

void ByteReader::Seek(std::size_t pos)
{
    if (pos > bytes_.size())
        throw TruncatedData("offset " + std::to_string(pos) + " is past the end (" + std::to_string(bytes_.size()) +
                            " bytes)");
    pos_ = pos;
}

void ByteReader::Skip(std::size_t n)
{
    Require(n);
    pos_ += n;
}

uint8_t ByteReader::U8()
{
    Require(1);
    return bytes_[pos_++];
}

uint16_t ByteReader::U16()
{
    Require(2);
    const uint16_t v = LE16(bytes_.data() + pos_);
    pos_ += 2;
    return v;
}

uint32_t ByteReader::U32()
{
    Require(4);
    const uint32_t v = LE32(bytes_.data() + pos_);
    pos_ += 4;
    return v;
}

std::span<const uint8_t> ByteReader::Bytes(std::size_t n)
{
    Require(n);
    auto out = bytes_.subspan(pos_, n);
    pos_ += n;
    return out;
}

std::string ByteReader::Text(std::size_t n)
{
    auto b = Bytes(n);
    return std::string(b.begin(), b.end());
}

ByteReader ByteReader::Sub(std::size_t n)
{
    return ByteReader(Bytes(n));
}
