// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/common/PathRules.h"

TEST(PathRules, OkAppendsOneSeparatorAndTheDataPathFollowsWithNothingBetween)
{
    for (char sep : {'\\', '/'}) {
        const std::string s(1, sep);
        for (const std::string& path : {"C:" + s + "GTA2", "C:" + s + "GTA2" + s})
            EXPECT_EQ(NormaliseGTA2Path(path, sep), "C:" + s + "GTA2" + s);
        for (const char* none : {"", " ", " \t"})  // no directory: never the root alone
            EXPECT_EQ(NormaliseGTA2Path(none, sep), "");
        EXPECT_EQ(DataPathFor("C:" + s + "GTA2", sep), "C:" + s + "GTA2data" + s);
    }
    EXPECT_EQ(NormaliseGTA2Path("C:/GTA2/", '\\'), "C:/GTA2/\\");  // the other platform's separator is a character
    const std::string name = "Straße/€.gxt";
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
}
