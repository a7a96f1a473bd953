#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/common/PathRules.h"
#include "fuzz/check_citymap.h"
#include "fuzz/check_gci.h"
#include "fuzz/check_gmp.h"
#include "fuzz/check_gxt.h"
#include "fuzz/check_sty.h"
#include "tests/support/SourceTree.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// Each reader's saved fuzz findings and the check its fuzz target runs on every input.
// A reader joins with its fuzz/check_<format>.h and one line here.
struct Format {
    const char* folder;  // under fuzz/regressions/
    void (*check)(const std::string& file, const TempDir& scratch);
};

const Format kFormats[] = {
    {"citymap", CheckCityMapFile}, {"gci", CheckGciFile}, {"gmp", CheckGmpFile},
    {"gxt", CheckGxtFile},         {"sty", CheckStyFile},
};

}  // namespace

// A crash once found stays fixed: every saved input goes through its reader again, and
// may only load or be refused with a documented error.
TEST(FuzzRegressions, EverySavedFindingIsReadSafely)
{
    for (const Format& format : kFormats) {
        const fs::path folder = SourceTree() / "fuzz" / "regressions" / format.folder;
        ASSERT_TRUE(fs::is_directory(folder)) << folder;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (!entry.is_regular_file() || entry.path().filename().string().starts_with("."))
                continue;
            const std::string file = Utf8FromPath(entry.path());
            SCOPED_TRACE(file);
            TempDir scratch;
            try {
                format.check(file, scratch);
            } catch (const PropertyViolation& e) {
                ADD_FAILURE() << "property broken: " << e.what();
            } catch (const std::exception& e) {
                ADD_FAILURE() << "undocumented exception: " << e.what();
            }
        }
    }
}
