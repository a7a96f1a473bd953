#pragma once
// The GTA2 directory setting and the data directory derived from it.
// The rules are pure functions of the separator so both platforms' forms can be tested
// on either; the globals use the separator of the platform we run on.

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

// The process-wide values. sDataPath is recomputed on every assignment.
const std::string& sGTA2Path();
const std::string& sDataPath();
void SetGTA2Path(const std::string& path);

// Model paths are UTF-8 text; this turns them into the platform's own path type.
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);
