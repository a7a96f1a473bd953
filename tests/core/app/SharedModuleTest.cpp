#include <gtest/gtest.h>

#include "app/BitmapHeader.h"
#include "app/PathRules.h"
#include "app/modGTA2.h"
#include "tests/support/RecordingProgress.h"

TEST(PathRules, OkAppendsOneSeparatorUnlessAlreadyThere)
{
    for (char sep : {'\\', '/'}) {
        const std::string s(1, sep);
        EXPECT_EQ(NormaliseGTA2Path("C:" + s + "GTA2", sep), "C:" + s + "GTA2" + s);
        EXPECT_EQ(NormaliseGTA2Path("C:" + s + "GTA2" + s, sep), "C:" + s + "GTA2" + s);
        EXPECT_EQ(NormaliseGTA2Path("", sep), s);
    }
    // The other platform's separator is just a character: one separator is still added.
    EXPECT_EQ(NormaliseGTA2Path("C:/GTA2/", '\\'), "C:/GTA2/\\");
    EXPECT_EQ(NormaliseGTA2Path("/games/gta2\\", '/'), "/games/gta2\\/");
}

TEST(PathRules, DataPathFollowsTheDirectoryWithNothingBetween)
{
    EXPECT_EQ(DataPathFor("", '\\'), "data\\");
    EXPECT_EQ(DataPathFor("C:\\GTA2\\", '\\'), "C:\\GTA2\\data\\");
    EXPECT_EQ(DataPathFor("C:\\GTA2", '\\'), "C:\\GTA2data\\");
    EXPECT_EQ(DataPathFor("/games/gta2/", '/'), "/games/gta2/data/");
    EXPECT_EQ(DataPathFor("\\", '\\'), "\\data\\");
}

TEST(PathRules, AssigningTheDirectoryRecomputesTheDataPath)
{
    const std::string sep(1, PlatformSeparator());
    SetGTA2Path("");
    EXPECT_EQ(sGTA2Path(), "");
    EXPECT_EQ(sDataPath(), "data" + sep);
    SetGTA2Path("games" + sep);
    EXPECT_EQ(sDataPath(), "games" + sep + "data" + sep);
    SetGTA2Path("");
}

TEST(PathRules, Utf8PathsRoundTrip)
{
    const std::string name = "Stra\xC3\x9F" "e/\xE2\x82\xAC.gxt";
    EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
}

TEST(BitmapHeader, InitWritesTheFixed54BytesLittleEndian)
{
    InitBitmapHeader();
    const std::array<uint8_t, 54> expected = {
        0x42, 0x4D,              // "BM"
        0x36, 0x14, 0x00, 0x00,  // file size 5174
        0x00, 0x00, 0x00, 0x00,  // reserved
        0x36, 0x04, 0x00, 0x00,  // pixel data at 1078
        0x28, 0x00, 0x00, 0x00,  // information header size 40
        0, 0, 0, 0, 0, 0, 0, 0,  // width, height: left for the writer
        0x01, 0x00,              // planes
        0x08, 0x00,              // bits per pixel
        0, 0, 0, 0,              // compression
        0, 0, 0, 0,              // image size
        0, 0, 0, 0,              // horizontal resolution
        0, 0, 0, 0,              // vertical resolution
        0x00, 0x01, 0x00, 0x00,  // colours used 256
        0x00, 0x01, 0x00, 0x00,  // important colours 256
    };
    EXPECT_EQ(SharedBitmapHeader().Bytes(), expected);
}

TEST(BitmapHeader, InitKeepsWhatTheWritersSet)
{
    BitmapHeader& h = SharedBitmapHeader();
    h.width = -5;
    h.height = 0x01020304;
    h.imageSize = 48;
    InitBitmapHeader();
    const auto bytes = h.Bytes();
    EXPECT_EQ(bytes[18], 0xFB);  // -5, two's complement
    EXPECT_EQ(bytes[21], 0xFF);
    EXPECT_EQ(bytes[22], 0x04);
    EXPECT_EQ(bytes[25], 0x01);
    EXPECT_EQ(bytes[34], 48);
    h = BitmapHeader{};
    InitBitmapHeader();
}

TEST(Progress, CallsWithNothingInstalledDoNothing)
{
    ShowProgress(1, 10, "Loading...");
    UpdateProgress(3, "Loading...");
    HideProgress();
    SUCCEED();
}

TEST(Progress, ForwardsToTheInstalledReporterAndScopeHidesOnThrow)
{
    RecordingProgress recorder;
    try {
        ProgressScope scope(1, 500, "Loading...");
        UpdateProgress(2, "Loading...");
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    const std::vector<RecordingProgress::Call> expected = {
        {'S', 1, 500, "Loading..."}, {'U', 2, 0, "Loading..."}, {'H', 0, 0, ""}};
    EXPECT_EQ(recorder.calls, expected);
}

TEST(UserMessages, ReachTheInstalledSinkOnly)
{
    std::vector<std::string> seen;
    UserMessageSink previous = InstallUserMessageSink(
        [&](const std::string& text, const std::string& title, MessageIcon) { seen.push_back(title + ":" + text); });
    ShowUserMessage("Error - No a valid GXT file!", "Error", MessageIcon::Warning);
    InstallUserMessageSink(previous);
    ShowUserMessage("dropped", "x", MessageIcon::None);
    EXPECT_EQ(seen, std::vector<std::string>{"Error:Error - No a valid GXT file!"});
}

TEST(Centring, HalvesAreTakenBeforeSubtracting)
{
    EXPECT_DOUBLE_EQ(CenteredPosition(1024, 600), 212);
    EXPECT_DOUBLE_EQ(CenteredPosition(1023, 600), 211.5);
    EXPECT_DOUBLE_EQ(CenteredPosition(800, 1000), -100);
}
