// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/io/ByteReader.h"

void ByteReader::CutOff(std::size_t n) const
{
    throw TruncatedData("needs " + std::to_string(n) + " bytes at offset " + std::to_string(pos_) + " but only " +
                        std::to_string(Remaining()) + " remain");
}

std::string ByteReader::Text(std::size_t n)
{
    auto b = Bytes(n);
    return std::string(b.begin(), b.end());
}
