// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Little-endian integers as bytes, for the builders of test files.

#include <cstdint>
#include <string>

namespace le {

inline std::string U16(uint16_t v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

inline std::string I32(int64_t value)
{
    const auto v = static_cast<uint32_t>(value);
    return U16(static_cast<uint16_t>(v & 0xFFFF)) + U16(static_cast<uint16_t>(v >> 16));
}

// A chunk of a map or style file: 4-character tag, 32-bit size, data.
inline std::string Chunk(const std::string& tag, const std::string& data)
{
    return tag + I32(static_cast<int64_t>(data.size())) + data;
}

}  // namespace le
