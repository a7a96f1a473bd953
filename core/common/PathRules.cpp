// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/PathRules.h"

char PlatformSeparator()
{
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string NormaliseGTA2Path(const std::string& text, char separator)
{
    if (text.find_first_not_of(" \t") == std::string::npos)
        return {};
    if (text.back() == separator)
        return text;
    return text + separator;
}

std::string DataPathFor(const std::string& gta2Path, char separator)
{
    return gta2Path + "data" + separator;
}

std::filesystem::path PathFromUtf8(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path)
{
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}
