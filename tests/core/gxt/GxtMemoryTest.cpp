// SPDX-License-Identifier: GPL-3.0-or-later
// A text file loads in a few times its own size, however many keys share one text,
// measured by counting operator new (tests/support/MemoryMeter.h).

#include <gtest/gtest.h>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/MemoryMeter.h"
#include "tests/support/TempDir.h"

TEST(GxtMemory, ALoadPeaksUnderFourTimesTheFileHoweverManyKeysShareOneText)
{
    using namespace gxt_test;
    // 100,000 keys of one text: a 64 MB file of 5.6 million such keys, scaled down.
    std::string records;
    for (int k = 0; k < 100000; ++k)
        records += Key(0, std::to_string(1000000 + k));
    const std::string files[] = {File(records, Cells("n!Shared by every key")), FileOf(GameLikeEntries(5000, 60))};
    TempDir dir;
    for (const std::string& bytes : files) {
        TempDir::Write(dir.File("texts.gxt"), bytes);
        clsGXT m;
        std::size_t peak = 0;
        {
            const MemoryMeter meter;
            m.ReadGXT(dir.File("texts.gxt"));
            peak = meter.Peak();
        }
        EXPECT_LT(peak, 4 * bytes.size()) << bytes.size() << " bytes";
        EXPECT_GT(peak, bytes.size());  // the count saw the file read
        EXPECT_EQ(m.GetValue(m.GetEntries()).substr(0, 6), bytes.size() > 1000000 ? "n!Shar" : "Text n");
    }
}
