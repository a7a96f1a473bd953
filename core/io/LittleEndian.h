// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little-endian integers in the files' byte order, whatever the host's. The readers take
// a pointer into bytes already bounds-checked, and are ByteReader's: formats read through
// it. The writers append or overwrite.

#include <cstdint>

inline uint16_t LE16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t LE32(const uint8_t* p)
{
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Appends the low `bytes` bytes of `value`, lowest first.
template <typename Bytes>
void PutLE(Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<typename Bytes::value_type>((value >> (8 * i)) & 0xFF));
}

template <typename Bytes>
void PutLE32(Bytes& out, uint32_t value)
{
    PutLE(out, value, 4);
}

// Overwrites the four bytes at `p`.
inline void StoreLE32(uint8_t* p, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>((value >> (8 * i)) & 0xFF);
}
