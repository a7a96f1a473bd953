// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The repository's own folders, for tests that read committed files. ctest names the
// folder in KESTROVA_SOURCE_DIR, so the test program holds no path of the machine it
// was built on and runs from a copied folder too.

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "core/common/PathRules.h"

inline std::filesystem::path SourceTree()
{
    const char* folder = std::getenv("KESTROVA_SOURCE_DIR");
    if (!folder || !*folder)
        throw std::runtime_error("KESTROVA_SOURCE_DIR is not set: run the tests through ctest");
    return PathFromUtf8(folder);
}
