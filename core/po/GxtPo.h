// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text file's texts as a gettext PO file, for translators' tools, and back. Built only
// with GNU gettext's libgettextpo (KESTROVA_HAVE_PO); the rest of the program does not
// need it.
//
// PO cannot carry every text as it is: it refuses byte 0x04 in any string, and its tools
// want a message and its translation to agree on a line break at the start and the end.
// So in a PO file the character 0x04 anywhere, and line breaks at a text's start or end,
// are written as their placeholders (U+E004 and U+E00A, as a byte without a letter is
// shown); importing turns these two placeholders back wherever they are.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/gxt/clsGXT.h"

// The largest PO file read or written, far above any of the game's texts (a PO file of
// its largest text file is under a megabyte, some 20,000 words and strings): the library
// keeps every keyword, string and comment word of a file apart, at up to some 80 bytes
// each, so a file of many tiny ones is refused by their count before it is read.
inline constexpr uint64_t kLargestPoBytes = uint64_t{64} << 20;
inline constexpr uint64_t kMostPoWords = 600'000;
// Every entry is at least six of them: msgctxt, the key, msgid, its text, msgstr, its text.
inline constexpr int32_t kMostPoEntries = kMostPoWords / 6;

// Writes one entry per key, in file order (a key's later entries are left out): msgctxt
// is the key, msgid the source file's text of that key (this file's own text when there
// is no source or it lacks the key), msgstr this file's text. The header names the
// language and declares UTF-8. The file is replaced whole or not at all. Throws FileError
// naming the file when it cannot be written, or would pass the limits above.
// Returns the number of entries written: one for each key.
std::size_t ExportPo(const clsGXT& translation, const clsGXT* source, const std::string& poFile);

struct PoImportResult {
    int updated = 0, unchanged = 0, skipped = 0;
    // One line for each skipped entry: its key (or msgid) and why.
    std::vector<std::string> problems;
};

// Sets each text whose key the target has from the entry's non-empty msgstr. Fuzzy entries,
// entries without msgctxt, keys the target lacks, a key's second entry and texts the
// charset cannot store are skipped and told; obsolete entries are ignored. A damaged file
// or one in another charset than UTF-8 throws FileError naming the file and line; so
// does anything but a regular file, or one past the limits above, before it is read. The
// target changes only when the whole file was read.
PoImportResult ImportPo(clsGXT& target, const std::string& poFile);
