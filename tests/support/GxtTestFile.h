// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builds GXT text files byte by byte for the tests, so that every field can be set to
// what a test needs, damaged values included.

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/LittleEndian.h"

namespace gxt_test {

using le::I32;

// A key record: 4-byte offset into the text block, then the name padded with zeros to 8.
inline std::string Key(int32_t offset, const std::string& name)
{
    return I32(offset) + (name + std::string(8, '\0')).substr(0, 8);
}

// A text as 16-bit cells (character, then 0x00) with the 00 00 terminator; `singles`
// leading characters are stored as single bytes instead.
inline std::string Cells(const std::string& text, std::size_t singles = 0)
{
    std::string out = text.substr(0, singles);
    for (std::size_t i = singles; i < text.size(); ++i)
        out += {text[i], '\0'};
    return out + std::string(2, '\0');
}

// "GBLEd" + one byte + "TKEY" + table size + records + "TDAT" + block size + block.
inline std::string File(const std::string& records, const std::string& block, char sixth = '\0')
{
    return std::string("GBLEd") + sixth + "TKEY" + I32(static_cast<int32_t>(records.size())) + records + "TDAT" +
           I32(static_cast<int32_t>(block.size())) + block;
}

struct Entry {
    std::string name;
    std::string text;  // as stored: already encoded, terminator included
};

// Lays the texts back to back and points each key at its own text.
inline std::string FileOf(const std::vector<Entry>& entries)
{
    std::string records, block;
    for (const Entry& e : entries) {
        records += Key(static_cast<int32_t>(block.size()), e.name);
        block += e.text;
    }
    return File(records, block);
}

// Part of a text block as it lies in a file: its bytes and the keys that point into it
// (their names and how far into the piece).
struct Piece {
    std::string bytes;
    std::vector<std::pair<std::string, int32_t>> keys;
};

// The pieces one after another in the text block, the key table sorted by the padded
// names as in the game's files, then `tail` after the block.
inline std::string LaidOut(const std::vector<Piece>& pieces, char sixth = '\0', const std::string& tail = "")
{
    std::vector<std::pair<std::string, int32_t>> records;
    std::string block;
    for (const Piece& piece : pieces) {
        for (const auto& [name, at] : piece.keys)
            records.emplace_back(Key(0, name).substr(4), static_cast<int32_t>(block.size()) + at);
        block += piece.bytes;
    }
    std::sort(records.begin(), records.end());  // std::string compares bytes unsigned
    std::string table;
    for (const auto& [name, offset] : records)
        table += I32(offset) + name;
    return File(table, block, sixth) + tail;
}

// A file shaped like the game's own: names of up to 8 characters, many texts starting
// with a prefix code or a capital letter and "!" stored as two single bytes, the rest
// as plain cells. A `length` above the texts' own (about 30 characters) pads each text
// with words to that many characters.
inline std::vector<Entry> GameLikeEntries(int count, std::size_t length = 0)
{
    static const char* const kPrefixes[] = {"n!", "y!", "l!", "r!", "s!", "m!", "k!", "W!", "G!"};
    std::vector<Entry> entries;
    for (int i = 0; i < count; ++i) {
        std::string name = (i % 3 == 0 ? "mis" : i % 3 == 1 ? "car" : "bigname") + std::to_string(i);
        name.resize(std::min<std::size_t>(name.size(), 8));
        std::string text = "Text number " + std::to_string(i) + (i % 5 == 0 ? " Bonus!" : " Go to the phone");
        for (std::size_t w = static_cast<std::size_t>(i); text.size() + 2 < length; w = w * 7 + 3)
            text += (w % 3 == 0 ? " and the car" : w % 3 == 1 ? " now" : " quickly");
        if (length > 2 && text.size() + 2 > length)
            text.resize(length - 2);
        entries.push_back({name, i % 4 != 3 ? Cells(kPrefixes[i % 9] + text, 2) : Cells(text)});
    }
    return entries;
}

}  // namespace gxt_test
