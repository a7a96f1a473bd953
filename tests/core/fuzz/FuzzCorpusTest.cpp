#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/PathRules.h"
#include "core/io/FileIO.h"
#include "fuzz/check_gci.h"
#include "fuzz/check_gmp.h"
#include "fuzz/check_gxt.h"
#include "fuzz/check_sty.h"
#include "tests/support/SourceTree.h"

// Every seed the fuzz targets start from, and every finding they saved, goes through its
// target's check again: a crash once fixed stays fixed, and the checks' promises hold
// for real files too.
TEST(FuzzCorpus, EverySeedAndSavedFindingKeepsTheFuzzChecks)
{
    using Check = void (*)(std::span<const uint8_t>, const std::string&, const TempDir&);
    const std::pair<const char*, Check> formats[] = {
        {"gci", CheckGciFile}, {"gmp", CheckGmpFile}, {"gxt", CheckGxtFile}, {"sty", CheckStyFile}};
    int seeds = 0;
    for (const auto& [format, check] : formats) {
        for (const char* folder : {"corpus", "regressions"}) {
            for (const auto& entry : std::filesystem::directory_iterator(SourceTree() / "fuzz" / folder / format)) {
                const std::string file = Utf8FromPath(entry.path());
                if (entry.path().filename().string().starts_with("."))
                    continue;  // .gitkeep
                TempDir scratch;
                EXPECT_NO_THROW(check(ReadWholeFile(file), file, scratch)) << file;
                seeds += std::string(folder) == "corpus";
            }
        }
    }
    EXPECT_GE(seeds, 14);
}
