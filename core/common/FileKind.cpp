// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/FileKind.h"

#include <algorithm>
#include <cctype>

#include "core/common/PathRules.h"
#include "core/io/FileIO.h"

FileKind KindOfName(const std::string& utf8Path)
{
    std::string extension = Utf8FromPath(PathFromUtf8(utf8Path).extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".gci")
        return FileKind::Car;
    if (extension == ".gxt")
        return FileKind::Text;
    if (extension == ".sty")
        return FileKind::Style;
    if (extension == ".gmp")
        return FileKind::Map;
    return FileKind::Unknown;
}

FileKind KindOf(const std::string& utf8Path)
{
    // Never waits on a named pipe: ReadHead reads regular files only.
    const std::vector<uint8_t> head = ReadHead(utf8Path, 4);
    if (head.size() == 4) {
        const std::string signature(head.begin(), head.end());
        if (signature == "GBST")
            return FileKind::Style;
        if (signature == "GBMP")
            return FileKind::Map;
        if (signature.starts_with("GBL") && std::isalpha(static_cast<unsigned char>(head[3])))
            return FileKind::Text;
    }
    return KindOfName(utf8Path);
}
