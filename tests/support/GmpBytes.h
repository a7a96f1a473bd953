#pragma once
// Builds small map files byte by byte, for the map reader's tests, its seed corpus
// and its fuzz checks.

#include <cstdint>
#include <initializer_list>
#include <string>

#include "tests/support/LittleEndian.h"

namespace gmpbytes {

using le::Chunk;
using le::I32;
using le::U16;

// The 6 bytes in front of the chunks; the reader does not look at them.
inline std::string Header()
{
    return "GBMP" + U16(500);
}

// One animation record: base (16-bit), delay, an uninterpreted byte, the frame
// count, another uninterpreted byte, then one 16-bit tile number per frame.
inline std::string AnimRecord(int base, int delay, std::initializer_list<int> tiles, int byte3 = 0, int byte5 = 0)
{
    std::string out = U16(base) + char(delay) + char(byte3) + char(tiles.size()) + char(byte5);
    for (int t : tiles)
        out += U16(t);
    return out;
}

// n records, record i with delay i and i % 5 frames numbered 100 * i + frame.
inline std::string AnimRecords(int n)
{
    std::string out;
    for (int i = 0; i < n; ++i) {
        out += U16(i) + static_cast<char>(i) + '\0' + static_cast<char>(i % 5) + '\0';
        for (int f = 0; f < i % 5; ++f)
            out += U16(100 * i + f);
    }
    return out;
}

}  // namespace gmpbytes
