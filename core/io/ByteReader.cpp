#include "core/io/ByteReader.h"

void ByteReader::CutOff(std::size_t n) const
{
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

std::string ByteReader::Text(std::size_t n)
{
    auto b = Bytes(n);
    return std::string(b.begin(), b.end());
}
