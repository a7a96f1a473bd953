// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text files in the game's other languages, built byte by byte for the tests, and what
// the tests of texts share.

#include <string>
#include <vector>

#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#include "tests/support/GxtTestFile.h"

namespace gxt_test {

// `bytes` with its header's language letter set.
inline std::string InLanguage(std::string bytes, char letter)
{
    bytes[3] = letter;
    return bytes;
}

// Like the game's French file: accented letters in the game font's order
// ("Café à Noël", "¿Ñandú?"). Octal where a hex escape would take the letter after it.
inline std::string GameFontFrenchFile()
{
    return InLanguage(FileOf({{"caf", Cells("Caf\x9E \x97 No\xA0l")}, {"nandu", Cells("\257\255and\252?")}}), 'F');
}

// Like the front-end menu file bob_g.gxt: accented letters as Windows-1252 ("Größe", "Über").
inline std::string Windows1252MenuFile()
{
    return InLanguage(FileOf({{"size", Cells("Gr\366\337e")}, {"over", Cells("\334ber")}}), 'G');
}

// `count` game-like texts under unique keys of up to 7 characters, every seventh text
// with an accented letter in the game font's order.
inline std::vector<Entry> ManyEntries(int count, std::size_t length = 0)
{
    std::vector<Entry> entries = GameLikeEntries(count, length);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].name = std::string("t") + std::to_string(i);
        if (i % 7 == 0)
            entries[i].text = Cells(std::string("Caf\x9E ") + std::to_string(i));
    }
    return entries;
}

inline clsGXT Parsed(const std::string& bytes, const std::string& name = "in.gxt", Progress& progress = NoProgress())
{
    clsGXT m;
    m.ParseGXT(AsBytes(bytes), name, progress);
    return m;
}

// The language, then each entry's name and bytes: to see that a model did not change.
inline std::vector<std::string> Snapshot(const clsGXT& m)
{
    std::vector<std::string> out{std::string(1, m.Language())};
    for (int32_t i = 1; i <= m.GetEntries(); ++i)
        out.push_back(m.GetKey(i) + "=" + m.GetValue(i));
    return out;
}

}  // namespace gxt_test
