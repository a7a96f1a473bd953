// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gxt/GxtTextBytes.h"

#include <algorithm>
#include <cstring>

namespace gxt_bytes {

namespace {

bool IsLetter(uint8_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::size_t TextEnd(std::span<const uint8_t> block, std::size_t from)
{
    const uint8_t* const end = block.data() + block.size();
    for (const uint8_t* p = block.data() + std::min(from, block.size()); end - p >= 2; p += 2) {
        // A zero byte with a byte after it; when that one is not zero, no pair starts at either.
        p = static_cast<const uint8_t*>(std::memchr(p, 0, static_cast<std::size_t>(end - p - 1)));
        if (p == nullptr)
            return 0;
        if (p[1] == 0)
            return static_cast<std::size_t>(p - block.data()) + 2;
    }
    return 0;
}

std::size_t CellEnd(std::span<const uint8_t> block, std::size_t from, std::size_t end)
{
    return (end - from) % 2 == 1 && end < block.size() && block[end] == 0 ? end + 1 : end;
}

std::string TextAt(std::span<const uint8_t> block, std::size_t from)
{
    const uint8_t* const last = block.data() + TextEnd(block, from) - 2;
    std::string text(static_cast<std::size_t>(last - (block.data() + from)), '\0');
    char* out = text.data();
    for (const uint8_t* p = block.data() + from; p != last; ++p)
        if (*p != 0)
            *out++ = static_cast<char>(*p);
    text.resize(static_cast<std::size_t>(out - text.data()));
    return text;
}

bool TextIs(std::span<const uint8_t> block, std::size_t from, std::string_view text)
{
    std::size_t matched = 0;
    for (std::size_t i = from;; ++i) {
        if (block[i] == 0) {
            if (block[i + 1] == 0)  // the terminator: block[i + 1] lies inside the block
                return matched == text.size();
        } else if (matched == text.size() || static_cast<char>(block[i]) != text[matched++]) {
            return false;
        }
    }
}

std::string TextStart(std::span<const uint8_t> block, std::size_t from, std::size_t count)
{
    std::string text;
    bool previousZero = false;
    for (std::size_t i = from; i < block.size() && text.size() < count; ++i) {
        if (block[i] == 0 && previousZero)
            break;
        previousZero = block[i] == 0;
        if (!previousZero)
            text += static_cast<char>(block[i]);
    }
    return text;
}

bool PrefixBytesAt(std::span<const uint8_t> block, std::size_t from)
{
    return from + 1 < block.size() && IsLetter(block[from]) && block[from + 1] == '!';
}

bool BeginsWithMarkup(std::string_view text)
{
    return text.size() >= 2 && text[0] >= 'a' && text[0] <= 'z' && text[1] == '!';
}

void AppendText(std::vector<uint8_t>& out, std::string_view text, bool prefixAsBytes)
{
    const std::size_t singles = prefixAsBytes ? 2 : 0;
    const std::size_t at = out.size();
    out.resize(at + singles + (text.size() - singles) * 2 + 2);  // zeros: the cells' second bytes, the terminator
    uint8_t* cell = out.data() + at;
    for (std::size_t i = 0; i < text.size(); ++i, ++cell) {
        *cell = static_cast<uint8_t>(text[i]);
        cell += i >= singles ? 1 : 0;
    }
}

}  // namespace gxt_bytes
