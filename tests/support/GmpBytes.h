#pragma once
// Builds small map files byte by byte, for the map reader's tests, its seed corpus
// and its fuzz checks.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace gmpbytes {

inline std::string Le16(int v)
{
    return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)};
}

inline std::string Le32(int64_t v)
{
    std::string out;
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
    return out;
}

// The 6 bytes in front of the chunks; the reader does not look at them.
inline std::string Header()
{
    return "GBMP" + Le16(500);
}

// Tag (4 characters), size (32-bit signed), data.
inline std::string Chunk(const std::string& tag, const std::string& data)
{
    return tag + Le32(static_cast<int64_t>(data.size())) + data;
}

// One animation record: base (16-bit), delay, an uninterpreted byte, the frame
// count, another uninterpreted byte, then one 16-bit tile number per frame.
inline std::string AnimRecord(int base, int delay, std::initializer_list<int> tiles, int byte3 = 0, int byte5 = 0)
{
    std::string out = Le16(base);
    out += static_cast<char>(delay);
    out += static_cast<char>(byte3);
    out += static_cast<char>(tiles.size());
    out += static_cast<char>(byte5);
    for (int t : tiles)
        out += Le16(t);
    return out;
}

// n records, record i with delay i and i % 5 frames numbered 100 * i + frame.
inline std::string AnimRecords(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += Le16(i) + static_cast<char>(i) + '\0' + static_cast<char>(i % 5) + '\0';
        for (int f = 0; f < i % 5; ++f)
            out += Le16(100 * i + f);
    }
    return out;
}

}  // namespace gmpbytes
