// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A translator's two questions about a text file: which texts can the game not draw in
// a font, and how the file stands against the file it translates. No windows here: the
// text editor and the command line both ask these.

#include <cstdint>
#include <string>
#include <vector>

#include "core/gxt/clsGXT.h"
#include "core/sty/FontText.h"

// The key as the user names it: the stored name up to its first zero byte.
std::string KeyName(const clsGXT& texts, int32_t entry);

// The letters as a translator reads them, joined by ", ": "ñ (0xB0)", each byte as the letter
// it stands for in the game font's charset (the one the fonts are laid out in), or its code
// alone where that charset has no letter for it. UTF-8.
std::string LetterNames(const std::vector<uint8_t>& bytes);

struct EntryFindings {
    int32_t entry = 0;  // from 1, as the text model numbers them
    FontFindings findings;
};
// Every entry, in file order, whose text has a letter the font cannot draw or draws
// without a visible pixel; markup and spaces are passed over.
std::vector<EntryFindings> CheckTexts(const clsGXT& texts, const GameFont& font);

// Two text files matched by key: `here` (a translation) and `reference` (the file it
// translates). Where a file names a key twice, its first entry counts.
struct TextComparison {
    std::vector<int32_t> onlyHere;       // entries of `here` whose key the reference lacks
    std::vector<int32_t> onlyReference;  // entries of `reference` whose key `here` lacks
    std::vector<int32_t> same;           // entries of `here` with the reference's bytes: untranslated
    std::vector<int32_t> different;      // entries of `here` whose bytes differ from the reference's
};
TextComparison CompareTexts(const clsGXT& here, const clsGXT& reference);
