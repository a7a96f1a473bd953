// SPDX-License-Identifier: GPL-3.0-or-later
// Which charset a text file's bytes are in: the game's own files use the game font's
// order for accented letters (0x80 to 0xB0), the front-end menu files Windows-1252
// (accented letters from 0xC0 on). Whichever range has more bytes wins; a tie goes by
// the file's name.

#include <algorithm>

#include "core/gxt/clsGXT.h"

GxtCharset clsGXT::DetectCharset(std::span<const uint8_t> texts, const std::string& file)
{
    const auto gameFont = std::count_if(texts.begin(), texts.end(), [](uint8_t b) { return b >= 0x80 && b <= 0xB0; });
    const auto windows1252 = std::count_if(texts.begin(), texts.end(), [](uint8_t b) { return b >= 0xC0; });
    if (gameFont != windows1252)
        return gameFont > windows1252 ? GxtCharset::GameFont : GxtCharset::Windows1252;
    // The front-end menu files are bob_<letter>.gxt.
    const std::size_t slash = file.find_last_of("/\\");
    std::string name = file.substr(slash == std::string::npos ? 0 : slash + 1, 4);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); });
    return name == "bob_" ? GxtCharset::Windows1252 : GxtCharset::GameFont;
}
