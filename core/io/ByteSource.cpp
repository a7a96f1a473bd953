#include "core/io/ByteSource.h"

#include <cstring>

#include "core/io/FileError.h"

void ByteSource::Require(std::size_t n) const
{
    if (n > Remaining())
        throw FileError(name_, "is cut off: " + std::to_string(n) + " bytes are needed at offset " +
                                   std::to_string(position_) + " but only " + std::to_string(Remaining()) + " remain");
}

std::span<const uint8_t> ByteSource::Read(std::size_t n)
{
    Require(n);
    Release();
    const std::span<const uint8_t> bytes = View(n);
    position_ += n;
    return bytes;
}

void ByteSource::ReadInto(std::vector<uint8_t>& out, std::size_t n)
{
    Require(n);
    Release();
    out.resize(n);
    Copy(out.data(), n);
    position_ += n;
}

void ByteSource::Skip(std::size_t n)
{
    Require(n);
    Release();
    PassOver(n);
    position_ += n;
}

void MemorySource::Copy(uint8_t* into, std::size_t n)
{
    if (n != 0)
        std::memcpy(into, bytes_.data() + Position(), n);
}
