#include <gtest/gtest.h>

#include "core/common/BitmapHeader.h"
#include "core/common/PathRules.h"
#include "core/common/modGTA2.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/StyBuilder.h"

using sty_test::I32;
using sty_test::U16;

TEST(PathRules, OkAppendsOneSeparatorAndTheDataPathFollowsWithNothingBetween)
{
    for (char sep : {'\\', '/'}) {
        const std::string s(1, sep);
        EXPECT_EQ(NormaliseGTA2Path("C:" + s + "GTA2", sep), "C:" + s + "GTA2" + s);
        EXPECT_EQ(NormaliseGTA2Path("C:" + s + "GTA2" + s, sep), "C:" + s + "GTA2" + s);
        EXPECT_EQ(NormaliseGTA2Path("", sep), s);
        EXPECT_EQ(DataPathFor("", sep), "data" + s);
        EXPECT_EQ(DataPathFor("C:" + s + "GTA2" + s, sep), "C:" + s + "GTA2" + s + "data" + s);
        EXPECT_EQ(DataPathFor("C:" + s + "GTA2", sep), "C:" + s + "GTA2data" + s);
    }
    // The other platform's separator is just a character: one separator is still added.
    EXPECT_EQ(NormaliseGTA2Path("C:/GTA2/", '\\'), "C:/GTA2/\\");
    EXPECT_EQ(NormaliseGTA2Path("/games/gta2\\", '/'), "/games/gta2\\/");
    const std::string sep(1, PlatformSeparator());
    SetGTA2Path("games" + sep);  // assigning the directory recomputes the data path
    EXPECT_EQ(sDataPath(), "games" + sep + "data" + sep);
    SetGTA2Path("");
    EXPECT_EQ(sDataPath(), "data" + sep);
    const std::string name =
        "Stra\xC3\x9F"
        "e/\xE2\x82\xAC.gxt";
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
}

TEST(SharedModule, ProgressAndMessagesReachWhatIsInstalledOnly)
{
    {
        RecordingProgress recorder;
        try {
            ProgressScope scope(1, 500, "Loading...");
            UpdateProgress(2, "Loading...");
            throw std::runtime_error("stop");
        } catch (const std::runtime_error&) {
        }
        const std::vector<RecordingProgress::Call> expected = {
            {'S', 1, 500, "Loading..."}, {'U', 2, 0, "Loading..."}, {'H', 0, 0, ""}};  // hidden on the throw too
        EXPECT_EQ(recorder.calls, expected);
    }
    std::vector<std::string> seen;
    UserMessageSink previous = InstallUserMessageSink(
        [&](const std::string& text, const std::string& title, MessageIcon) { seen.push_back(title + ":" + text); });
    ShowUserMessage("Error - No a valid GXT file!", "Error", MessageIcon::Warning);
    InstallUserMessageSink(previous);
    ShowUserMessage("dropped", "x", MessageIcon::None);
    EXPECT_EQ(seen, std::vector<std::string>{"Error:Error - No a valid GXT file!"});
}

TEST(SharedModule, CentringTakesHalvesBeforeSubtracting)
{
    EXPECT_DOUBLE_EQ(CenteredPosition(1024, 600), 212);
    EXPECT_DOUBLE_EQ(CenteredPosition(1023, 600), 211.5);
    EXPECT_DOUBLE_EQ(CenteredPosition(800, 1000), -100);
}
