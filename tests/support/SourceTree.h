#pragma once
// The repository's own folders, for tests that read committed files (seed corpora,
// fuzz regressions). Found from this header's path as the compiler saw it.

#include <filesystem>

inline std::filesystem::path SourceTree()
{
    return std::filesystem::weakly_canonical(std::filesystem::path(__FILE__).parent_path() / ".." / "..");
}
