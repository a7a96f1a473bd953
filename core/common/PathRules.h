// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of the GTA2 directory setting and the data directory derived from it, as
// pure functions of the separator so that both platforms' forms can be tested on either;
// and the conversion between UTF-8 paths and the platform's own.

#include <filesystem>
#include <string>

// '\\' on Windows, '/' elsewhere.
char PlatformSeparator();

// The options dialog's rule: append the separator unless the text already ends in it.
// An empty or blank text means no GTA2 directory, as before one was ever chosen, and
// stays empty: the separator alone would name the root of the file system.
std::string NormaliseGTA2Path(const std::string& text, char separator);

// The data directory: the GTA2 directory followed by "data" and the separator, with
// nothing put between them.
std::string DataPathFor(const std::string& gta2Path, char separator);

// Model paths are UTF-8 text; this turns them into the platform's own path type.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);
