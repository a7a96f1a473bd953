// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the bytes of a GXT text stand for characters. The game's own text files use the
// order of the game font for accented letters; the front-end menu files (bob_*.gxt) use
// Windows-1252. Texts are shown and typed as UTF-8 through one of the two.
//
// A byte with no letter in the charset is shown as the private-use character U+E000 plus
// the byte (0xE1 becomes U+E0E1) and is stored back as that byte, so every byte from
// 0x01 to 0xFF survives a trip through UTF-8 unchanged.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

enum class GxtCharset { GameFont, Windows1252 };

// The first character of a text that the charset has no byte for.
class UnstorableCharacter : public std::invalid_argument {
public:
    UnstorableCharacter(char32_t character, GxtCharset charset);
    char32_t Character() const { return character_; }

private:
    char32_t character_;
};

// The charset's name as the window shows it: "game font" or "Windows-1252".
const char* GxtCharsetName(GxtCharset charset);

// The bytes of a text (no zero byte among them) as UTF-8.
std::string DecodeGxtText(std::string_view bytes, GxtCharset charset);
// UTF-8 as the bytes of a text. Throws UnstorableCharacter for the first character the
// charset has no byte for (U+0000 included), std::invalid_argument for text that is not
// UTF-8.
std::string EncodeGxtText(std::string_view utf8, GxtCharset charset);

// The placeholder a byte without a letter is shown as.
inline constexpr char32_t kGxtPlaceholderBase = 0xE000;

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
