// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/gxt/GxtCharset.h"

#include <algorithm>
#include <array>

namespace {

// Bytes 0x80 to 0xB0 in the game font's order.
constexpr char32_t kGameFont[] = {0xC0, 0xC1, 0xC2, 0xC4, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE,
                                  0xCF, 0xD2, 0xD3, 0xD4, 0xD6, 0xD9, 0xDA, 0xDB, 0xDC, 0xDF, 0xE0, 0xE1, 0xE2,
                                  0xE4, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF2, 0xF3,
                                  0xF4, 0xF6, 0xF9, 0xFA, 0xFB, 0xFC, 0xD1, 0xF1, 0xBF, 0xA1};
static_assert(std::size(kGameFont) == 0xB1 - 0x80);

// Bytes 0x80 to 0x9F of Windows-1252; 0 where the code page has no character.
constexpr char32_t kWindows1252[] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                     0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                     0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                     0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Every character beyond the placeholders lies below this.
constexpr char32_t kTableEnd = 0x2123;

struct Table {
    std::array<char32_t, 256> decode{};
    std::array<uint8_t, kTableEnd> encode{};  // 0: no byte
};

Table Build(GxtCharset charset)
{
    Table t;
    for (unsigned b = 1; b < 256; ++b) {
        char32_t c = b < 0x80 ? b : 0;
        if (charset == GxtCharset::GameFont && b >= 0x80 && b <= 0xB0)
            c = kGameFont[b - 0x80];
        if (charset == GxtCharset::Windows1252)
            c = b >= 0x80 && b < 0xA0 ? kWindows1252[b - 0x80] : b;
        if (c == 0)
            c = kGxtPlaceholderBase + b;
        else
            t.encode[c] = static_cast<uint8_t>(b);
        t.decode[b] = c;
    }
    return t;
}

const Table& TableOf(GxtCharset charset)
{
    static const Table gameFont = Build(GxtCharset::GameFont);
    static const Table windows1252 = Build(GxtCharset::Windows1252);
    return charset == GxtCharset::GameFont ? gameFont : windows1252;
}

// The next code point of `text` from `at`, moving `at` past it; throws for anything that
// is not UTF-8 (overlong forms and surrogates included).
char32_t NextCodePoint(std::string_view text, std::size_t& at)
{
    const auto bad = [] { return std::invalid_argument("the text is not valid UTF-8"); };
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80)
        return lead;
    int more = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (more == 0 || lead > 0xF4)
        throw bad();
    char32_t c = lead & (0x3F >> more);
    for (int i = 0; i < more; ++i) {
        if (at == text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80)
            throw bad();
        c = (c << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[more] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        throw bad();
    return c;
}

std::string CharacterName(char32_t c)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string code;
    for (char32_t v = c; v != 0 || code.size() < 4; v >>= 4)
        code.insert(code.begin(), kHex[v & 15]);
    std::string shown;
    if (c >= 0x20 && c != 0x7F)
        AppendUtf8(shown, c);
    std::string name = "the character ";
    if (!shown.empty()) {
        name += '"';
        name += shown;
        name += "\" ";
    }
    name += "(U+";
    name += code;
    name += ')';
    return name;
}

}  // namespace

UnstorableCharacter::UnstorableCharacter(char32_t character, GxtCharset charset)
    : std::invalid_argument(CharacterName(character) + " has no byte in the " + GxtCharsetName(charset) +
                            " of this GXT file"),
      character_(character)
{
}

const char* GxtCharsetName(GxtCharset charset)
{
    return charset == GxtCharset::GameFont ? "game font" : "Windows-1252";
}

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string DecodeGxtText(std::string_view bytes, GxtCharset charset)
{
    const Table& table = TableOf(charset);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    // Plain ASCII, most of every text, is copied a run at a time: every list fill decodes
    // every text.
    const auto beyondAscii = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    for (auto at = bytes.begin(); at != bytes.end();) {
        const auto other = std::find_if(at, bytes.end(), beyondAscii);
        out.append(at, other);
        if (other == bytes.end())
            break;
        AppendUtf8(out, table.decode[static_cast<unsigned char>(*other)]);
        at = other + 1;
    }
    return out;
}

std::string EncodeGxtText(std::string_view utf8, GxtCharset charset)
{
    const Table& table = TableOf(charset);
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, at);
        uint8_t b = 0;
        if (c >= 1 && c < 0x80)
            b = static_cast<uint8_t>(c);
        else if (c < kTableEnd)
            b = table.encode[c];
        else if (c > kGxtPlaceholderBase && c <= kGxtPlaceholderBase + 0xFF &&
                 table.decode[c - kGxtPlaceholderBase] == c)
            b = static_cast<uint8_t>(c - kGxtPlaceholderBase);
        if (b == 0)
            throw UnstorableCharacter(c, charset);
        out += static_cast<char>(b);
    }
    return out;
}
