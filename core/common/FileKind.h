// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which of the game's files a file is: by its first bytes where the format has a
// signature, otherwise by its extension. The windows and kestrova-cli both ask here.

#include <string>

enum class FileKind { Unknown, Car, Text, Style, Map };

// "GBST" is a style, "GBMP" a map, "GBL" and a language letter a text file. Any other
// file, and one that cannot be read, goes by its extension (.gci, .gxt, .sty, .gmp,
// in any case), so the editor that opens it can say what is wrong with it.
FileKind KindOf(const std::string& utf8Path);

// By the extension alone, without reading the file.
FileKind KindOfName(const std::string& utf8Path);
