#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/modGTA2.h"
#include "models/gxt/clsGXT.h"
#include "models/io/FileError.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;
using namespace gxt_test;

namespace {

const std::string kInvalid = "Error - No a valid GXT file!";

// Collects the model's user messages while it lives.
struct MessageLog {
    struct Shown {
        std::string text, title;
        MessageIcon icon;
    };
    MessageLog()
    {
        previous = InstallUserMessageSink([this](const std::string& text, const std::string& title,
                                                 MessageIcon icon) { shown.push_back({text, title, icon}); });
    }
    ~MessageLog() { InstallUserMessageSink(previous); }
    std::vector<Shown> shown;
    UserMessageSink previous;
};

// Names and values of every entry, to see that a model did not change.
std::vector<std::string> Snapshot(const clsGXT& m)
{
    std::vector<std::string> out;
    for (int32_t i = 1; i <= m.GetEntries(); ++i)
        out.push_back(m.GetKey(i) + "=" + m.GetValue(i));
    return out;
}

clsGXT Loaded(const TempDir& dir, const std::string& bytes)
{
    const std::string file = dir.File("in.gxt");
    TempDir::Write(file, bytes);
    clsGXT m;
    EXPECT_TRUE(m.LoadGXT(file));
    return m;
}

std::string Saved(const TempDir& dir, clsGXT& m)
{
    const std::string file = dir.File("out.gxt");
    EXPECT_TRUE(m.SaveGXT(file));
    return TempDir::Read(file);
}

// The text block of a saved file: everything after the 22 + 12n header bytes.
std::string SavedTextBlock(const TempDir& dir, clsGXT& m)
{
    return Saved(dir, m).substr(22 + 12 * static_cast<std::size_t>(m.GetEntries()));
}

std::string Hex(const std::string& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Where two large files first differ (npos when equal), so a failure prints a number
// rather than megabytes.
std::size_t FirstDifference(const std::string& a, const std::string& b)
{
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
    if (ia == a.end() && ib == b.end())
        return std::string::npos;
    return static_cast<std::size_t>(ia - a.begin());
}

}  // namespace

TEST(GxtSave, WritesTheExactBytesOfTheTwoEntryExample)
{
    TempDir dir;
    // Two entries with placeholder texts; the test sets the values it wants to see written.
    clsGXT m = Loaded(dir, FileOf({{"ABC", Cells("x")}, {"K2", Cells("y")}}));
    m.SetValue(1, "Hi");
    m.SetValue(2, "n!Go");
    EXPECT_EQ(Hex(Saved(dir, m)),
              "47 42 4C 45 64 00 54 4B 45 59 18 00 00 00 "
              "00 00 00 00 41 42 43 00 00 00 00 00 "
              "06 00 00 00 4B 32 00 00 00 00 00 00 "
              "54 44 41 54 0E 00 00 00 "
              "48 00 69 00 00 00 6E 21 47 00 6F 00 00 00");
}

TEST(GxtSave, EncodesValuesWithPrefixCodesCellsAndTerminator)
{
    TempDir dir;
    clsGXT m = Loaded(dir, FileOf({{"A", Cells("x")}, {"B", Cells("y")}}));
    const std::pair<std::string, std::string> cases[] = {
        {"AB", "41 00 42 00 00 00"},
        {"n!AB", "6E 21 41 00 42 00 00 00"},
        {"N!AB", "4E 00 21 00 41 00 42 00 00 00"},  // upper case is no prefix code
        {"k!", "6B 21 00 00"},
        {"", "00 00"},
        {"y", "79 00 00 00"},  // shorter than a code
        {std::string("\xE9\xFF", 2), "E9 00 FF 00 00 00"},
    };
    for (const auto& [value, bytes] : cases) {
        m.SetValue(1, value);
        m.SetValue(2, "Z");
        EXPECT_EQ(Hex(SavedTextBlock(dir, m)), bytes + " 5A 00 00 00") << "value " << value;
        // The next entry's offset is the encoded length.
        clsGXT back = Loaded(dir, TempDir::Read(dir.File("out.gxt")));
        EXPECT_EQ(back.GetValue(1), value);
        EXPECT_EQ(back.GetValue(2), "Z");
    }
}

TEST(GxtLoad, ReadingRuleFindsTheTerminatorAtAnyAlignmentAndDropsZeros)
{
    TempDir dir;
    const std::string block = std::string("\x41\x00\x00\x42\x00\x00", 6)      // 0: A, then 00|00 across cells
                              + std::string("\x41\x01\x00\x00", 4)            // 6: both bytes non-zero
                              + std::string("n\0!\0G\0\0\0", 8)               // 10: code stored as cells
                              + std::string("\0\0", 2)                        // 18: empty
                              + std::string("\x01\x02\x03\x00\x00", 5)        // 20: odd length, single bytes
                              + std::string("junk nobody points at\0\0", 23);  // 25: unreferenced
    const std::string records = Key(0, "ONE") + Key(6, "TWO") + Key(10, "THREE") + Key(18, "FOUR") +
                                Key(20, "FIVE") + Key(0, "SAME") + Key(3, "MIDDLE");
    clsGXT m = Loaded(dir, File(records, block, '\x7F'));  // any sixth byte is accepted
    ASSERT_EQ(m.GetEntries(), 7);
    EXPECT_EQ(m.GetValue(1), "A");
    EXPECT_EQ(m.GetValue(2), "\x41\x01");
    EXPECT_EQ(m.GetValue(3), "n!G");
    EXPECT_EQ(m.GetValue(4), "");
    EXPECT_EQ(m.GetValue(5), "\x01\x02\x03");
    EXPECT_EQ(m.GetValue(6), "A");
    EXPECT_EQ(m.GetValue(7), "B");

    // Saved back the system's way: shared texts get their own copies, junk is dropped,
    // the sixth byte is 0.
    const std::string saved = Saved(dir, m);
    EXPECT_EQ(saved[5], '\0');
    EXPECT_EQ(Hex(saved.substr(22 + 12 * 7)),
              "41 00 00 00 "
              "41 00 01 00 00 00 "
              "6E 21 47 00 00 00 "
              "00 00 "
              "01 00 02 00 03 00 00 00 "
              "41 00 00 00 "
              "42 00 00 00");
    clsGXT back = Loaded(dir, saved);
    EXPECT_EQ(Snapshot(back), Snapshot(m));
}

TEST(GxtModel, KeysLookupAndIndexErrors)
{
    TempDir dir;
    clsGXT m = Loaded(dir, FileOf({{"ABC", Cells("first")}, {"ABC", Cells("second")}, {"FULLNAME", Cells("8")}}));
    EXPECT_EQ(m.GetKey(1), std::string("ABC\0\0\0\0\0", 8));
    EXPECT_EQ(m.GetKey(3), "FULLNAME");
    EXPECT_EQ(m.GetValueFromKey("ABC"), "first");  // the earlier of two equal names
    EXPECT_EQ(m.GetValueFromKey("abc"), "");
    EXPECT_EQ(m.GetValueFromKey("ABC "), "");
    EXPECT_EQ(m.GetValueFromKey("FULLNAME"), "8");
    EXPECT_EQ(m.GetValueFromKey("FULLNAMEX"), "");

    for (int32_t bad : {0, -1, 4}) {
        EXPECT_THROW(m.GetKey(bad), std::out_of_range);
        EXPECT_THROW(m.GetValue(bad), std::out_of_range);
        EXPECT_THROW(m.SetValue(bad, "x"), std::out_of_range);
    }
    EXPECT_EQ(Snapshot(m), Snapshot(Loaded(dir, TempDir::Read(dir.File("in.gxt")))));

    clsGXT empty;
    EXPECT_EQ(empty.GetEntries(), 0);
    EXPECT_THROW(empty.GetValue(1), std::out_of_range);
    EXPECT_EQ(empty.GetValueFromKey(""), "");
}

TEST(GxtLoad, DamagedFilesAreRefusedAndLeaveTheModelAsItWas)
{
    TempDir dir;
    const std::string good = FileOf({{"AA", Cells("Hi")}, {"BB", Cells("There")}});
    const std::string records = Key(0, "AA");
    const std::string text = Cells("Hi");  // 6 bytes
    std::vector<std::pair<std::string, std::string>> damaged = {
        {"wrong signature", "GBLEe" + good.substr(5)},
        {"wrong first bytes", "XBLEd" + good.substr(5)},
        {"no TKEY", good.substr(0, 6) + "TKEZ" + good.substr(10)},
        {"negative key table size", "GBLEd" + std::string(1, '\0') + "TKEY" + I32(-12) + records + "TDAT" +
                                        I32(6) + text},
        {"key table size not whole records", "GBLEd" + std::string(1, '\0') + "TKEY" + I32(13) + records +
                                                 "x" + "TDAT" + I32(6) + text},
        {"no TDAT", File(records, text).replace(26, 4, "TDAX")},
        {"negative text block size", File(records, text).replace(30, 4, I32(-1))},
        {"offset before the block", File(Key(-1, "AA"), text)},
        {"offset at the block's end", File(Key(6, "AA"), text)},
        {"offset far past the block", File(Key(0x7FFFFFF0, "AA"), text)},
        {"no terminator", File(records, std::string("H\0i\0", 4))},
        {"terminator cut by the block end", File(records, std::string("H\0", 2)) + std::string(1, '\0')},
    };
    // Every file that ends early, at any byte, is refused too.
    for (std::size_t length = 0; length < good.size(); ++length)
        damaged.push_back({"cut at " + std::to_string(length), good.substr(0, length)});

    clsGXT m = Loaded(dir, FileOf({{"KEEP", Cells("me")}}));
    const auto before = Snapshot(m);
    const std::string file = dir.File("damaged.gxt");
    for (const auto& [what, bytes] : damaged) {
        TempDir::Write(file, bytes);
        MessageLog log;
        RecordingProgress progress;
        EXPECT_FALSE(m.LoadGXT(file)) << what;
        ASSERT_EQ(log.shown.size(), 1u) << what;
        EXPECT_EQ(log.shown[0].text, kInvalid) << what;
        EXPECT_EQ(log.shown[0].title, "Error");
        EXPECT_EQ(log.shown[0].icon, MessageIcon::Warning);
        EXPECT_EQ(Snapshot(m), before) << what;
        // A refusal during the texts still hides the progress window.
        if (!progress.calls.empty()) {
            EXPECT_EQ(progress.calls.back().kind, 'H') << what;
        }
    }
    // The model still saves what it had.
    clsGXT back = Loaded(dir, Saved(dir, m));
    EXPECT_EQ(Snapshot(back), before);
}

TEST(GxtLoad, AnEmptyKeyTableIsAValidFileWithNoEntries)
{
    TempDir dir;
    clsGXT m = Loaded(dir, FileOf({{"OLD", Cells("old")}}));
    MessageLog log;
    TempDir::Write(dir.File("empty.gxt"), File("", "") + "trailing bytes are ignored");
    EXPECT_TRUE(m.LoadGXT(dir.File("empty.gxt")));
    EXPECT_TRUE(log.shown.empty());
    EXPECT_EQ(m.GetEntries(), 0);
    EXPECT_EQ(m.GetValueFromKey("OLD"), "");
    EXPECT_EQ(Hex(Saved(dir, m)), "47 42 4C 45 64 00 54 4B 45 59 00 00 00 00 54 44 41 54 00 00 00 00");
}

TEST(GxtLoad, AMissingOrUnreadablePathIsNamedAndNothingIsCreated)
{
    TempDir dir;
    clsGXT m = Loaded(dir, FileOf({{"KEEP", Cells("me")}}));
    const auto before = Snapshot(m);
    for (const std::string& path : {dir.File("missing.gxt"), dir.Path().string()}) {
        MessageLog log;
        EXPECT_FALSE(m.LoadGXT(path));
        ASSERT_EQ(log.shown.size(), 1u);
        EXPECT_NE(log.shown[0].text, kInvalid);
        EXPECT_NE(log.shown[0].text.find(path), std::string::npos) << log.shown[0].text;
        EXPECT_EQ(Snapshot(m), before);
    }
    EXPECT_FALSE(fs::exists(dir.File("missing.gxt")));
}

TEST(GxtSave, KeepsThePreviousFileAsBackupAndNeverLosesItOnFailure)
{
    TempDir dir;
    const std::string original = FileOf({{"A", Cells("one")}});
    clsGXT m = Loaded(dir, original);
    const std::string file = dir.File("a.gxt");
    TempDir::Write(file, original);
    TempDir::Write(file + ".bak", "an older backup");

    m.SetValue(1, "two");
    EXPECT_TRUE(m.SaveGXT(file));
    const std::string first = TempDir::Read(file);
    EXPECT_EQ(TempDir::Read(file + ".bak"), original);
    m.SetValue(1, "three");
    EXPECT_TRUE(m.SaveGXT(file));
    EXPECT_EQ(TempDir::Read(file + ".bak"), first);
    EXPECT_EQ(Loaded(dir, TempDir::Read(file)).GetValue(1), "three");

    // The backup cannot be written (its name is a folder): the file stays as it was.
    const std::string b = dir.File("b.gxt");
    TempDir::Write(b, original);
    fs::create_directory(b + ".bak");
    EXPECT_THROW(m.SaveGXT(b), FileError);
    EXPECT_EQ(TempDir::Read(b), original);

    // The new file cannot be written at all: the error names it and nothing appears.
    const std::string nowhere = dir.File("no/such/folder/c.gxt");
    try {
        m.SaveGXT(nowhere);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(nowhere), std::string::npos);
    }
    // Only the files made above remain: a.gxt, a.gxt.bak, b.gxt, b.gxt.bak, in.gxt.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 5);
    EXPECT_EQ(m.GetValue(1), "three");
}

TEST(GxtRoundTrip, AGameLikeFileComesBackByteForByteAndEditsTouchOnlyTheirText)
{
    TempDir dir;
    const std::vector<Entry> entries = GameLikeEntries(2600);
    const std::string original = FileOf(entries);
    clsGXT m;
    {
        RecordingProgress progress;
        m = Loaded(dir, original);
        ASSERT_EQ(progress.calls.size(), 2600u + 2);
        EXPECT_EQ(progress.calls.front(), (RecordingProgress::Call{'S', 1, 2600, "Loading..."}));
        EXPECT_EQ(progress.calls[2600], (RecordingProgress::Call{'U', 2600, 0, "Loading..."}));
        EXPECT_EQ(progress.calls.back().kind, 'H');
    }
    ASSERT_EQ(m.GetEntries(), 2600);
    EXPECT_EQ(m.GetValue(17), "W!Text number 16 Go to the phone");  // a capital and "!" as single bytes
    {
        RecordingProgress progress;
        EXPECT_EQ(FirstDifference(Saved(dir, m), original), std::string::npos);
        ASSERT_EQ(progress.calls.size(), 2600u + 2);
        EXPECT_EQ(progress.calls[1], (RecordingProgress::Call{'U', 1, 0, "Saving..."}));
    }

    // Entry 17 keeps its "W!" stored as single bytes; entry 9 loses its "G!" and is
    // written as cells; entry 1 gains a code prefix. Every other text is unchanged.
    EXPECT_EQ(m.GetValue(9), "G!Text number 8 Go to the phone");
    m.SetValue(17, "W!Changed");
    m.SetValue(9, "Gone");
    m.SetValue(1, "k!New");
    std::vector<Entry> expected = entries;
    expected[16].text = Cells("W!Changed", 2);
    expected[8].text = Cells("Gone");
    expected[0].text = Cells("k!New", 2);
    EXPECT_EQ(FirstDifference(Saved(dir, m), FileOf(expected)), std::string::npos);

    // A text that began "W!" as cells gets no single-byte treatment.
    clsGXT cells = Loaded(dir, FileOf({{"W", Cells("W!x")}}));
    EXPECT_EQ(Saved(dir, cells), FileOf({{"W", Cells("W!x")}}));
}

TEST(GxtLoad, LongTextsAreReadTheSameWhereverTheirCellsBreakOrEnd)
{
    // Texts of 0 to 40 characters at every alignment: as plain cells, with one cell whose
    // second byte is not zero, and with a zero character that ends the text early.
    TempDir dir;
    std::string block, records;
    std::vector<std::string> expected;
    for (int n = 0; n <= 40; ++n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += static_cast<char>('a' + (i * 7 + n) % 26);
        const std::size_t k = static_cast<std::size_t>(n / 2);
        for (int variant = 0; variant < 3; ++variant) {
            block += std::string(static_cast<std::size_t>(1 + (n + variant) % 4), '\x7F');  // nobody points here
            records += Key(static_cast<int32_t>(block.size()), "T" + std::to_string(n * 3 + variant));
            std::string cells = Cells(text);
            if (variant == 1 && n > 0) {
                cells[2 * k + 1] = 'Z';
                expected.push_back(text.substr(0, k + 1) + "Z" + text.substr(k + 1));
            } else if (variant == 2 && n > 0) {
                cells[2 * k] = '\0';
                expected.push_back(text.substr(0, k));
            } else {
                expected.push_back(text);
            }
            block += cells;
        }
    }
    clsGXT m = Loaded(dir, File(records, block));
    ASSERT_EQ(m.GetEntries(), static_cast<int32_t>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(m.GetValue(static_cast<int32_t>(i + 1)), expected[i]) << "entry " << i + 1;

    // Cells that run to the end of the block, with no terminator, at and off a 16-byte boundary.
    MessageLog log;
    for (const std::size_t length : {8u, 9u, 16u}) {
        const std::string unterminated = Cells(std::string(length, 'q')).substr(0, 2 * length);
        const std::string file = dir.File("cut.gxt");
        TempDir::Write(file, File(Key(0, "CUT"), unterminated));
        clsGXT refused;
        EXPECT_FALSE(refused.LoadGXT(file)) << length << " characters";
    }
    EXPECT_EQ(log.shown.size(), 3u);
}
