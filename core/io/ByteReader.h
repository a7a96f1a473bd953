// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bounds-checked little-endian reading over a byte buffer. Every read checks what is
// left first, so no input can make a reader touch memory outside its buffer. Sub()
// hands out a reader limited to the next n bytes, for a chunk or a table. The reads are
// inline: a map's reader makes hundreds of thousands of them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

#include "core/io/LittleEndian.h"

class TruncatedData : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Size() const { return bytes_.size(); }
    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return bytes_.size() - pos_; }
    bool AtEnd() const { return pos_ == bytes_.size(); }
    bool CanRead(std::size_t n) const { return n <= Remaining(); }

    void Skip(std::size_t n)
    {
        Require(n);
        pos_ += n;
    }

    uint8_t U8()
    {
        Require(1);
        return bytes_[pos_++];
    }
    uint16_t U16()
    {
        Require(2);
        pos_ += 2;
        return LE16(bytes_.data() + pos_ - 2);
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    uint32_t U32()
    {
        Require(4);
        pos_ += 4;
        return LE32(bytes_.data() + pos_ - 4);
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }

    std::span<const uint8_t> Bytes(std::size_t n)
    {
        Require(n);
        pos_ += n;
        return bytes_.subspan(pos_ - n, n);
    }
    // n bytes as text, one character a byte.
    std::string Text(std::size_t n);
    // A reader over the next n bytes; this reader moves past them.
    ByteReader Sub(std::size_t n) { return ByteReader(Bytes(n)); }

    // What is left, without moving.
    std::span<const uint8_t> Rest() const { return bytes_.subspan(pos_); }

private:
    void Require(std::size_t n) const
    {
        if (!CanRead(n)) [[unlikely]]
            CutOff(n);
    }
    [[noreturn]] void CutOff(std::size_t n) const;

    std::span<const uint8_t> bytes_;
    std::size_t pos_ = 0;
};
