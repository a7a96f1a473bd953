#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/modGTA2.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileError.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

namespace fs = std::filesystem;
using namespace gxt_test;

namespace {

const std::string kInvalid = "Error - No a valid GXT file!";

// Collects the model's user messages, as "title|text", while it lives.
struct MessageLog {
    MessageLog()
        : previous(InstallUserMessageSink([this](const std::string& text, const std::string& title, MessageIcon icon) {
              shown.push_back(title + (icon == MessageIcon::Warning ? "|" : "?") + text);
          }))
    {
    }
    ~MessageLog() { InstallUserMessageSink(previous); }
    std::vector<std::string> shown;
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
    TempDir::Write(dir.File("in.gxt"), bytes);
    clsGXT m;
    EXPECT_TRUE(m.LoadGXT(dir.File("in.gxt")));
    return m;
}

std::string Saved(const TempDir& dir, clsGXT& m)
{
    EXPECT_TRUE(m.SaveGXT(dir.File("out.gxt")));
    return TempDir::Read(dir.File("out.gxt"));
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    for (unsigned char c : bytes)
        out += (out.empty() ? "" : " ") + std::string{"0123456789ABCDEF"[c >> 4], "0123456789ABCDEF"[c & 15]};
    return out;
}

}  // namespace

TEST(GxtSave, WritesTheExactBytesOfTheTwoEntryExample)
{
    TempDir dir;
    clsGXT m = Loaded(dir, FileOf({{"ABC", Cells("x")}, {"K2", Cells("y")}}));
    m.SetValue(1, "Hi");
    m.SetValue(2, "n!Go");
    EXPECT_EQ(Hex(Saved(dir, m)),
              "47 42 4C 45 64 00 54 4B 45 59 18 00 00 00 "
              "00 00 00 00 41 42 43 00 00 00 00 00 "
              "06 00 00 00 4B 32 00 00 00 00 00 00 "
              "54 44 41 54 0E 00 00 00 "
              "48 00 69 00 00 00 6E 21 47 00 6F 00 00 00");
    // A file with no entries is valid and replaces what was loaded; it saves as the bare frame.
    clsGXT empty = Loaded(dir, FileOf({{"OLD", Cells("old")}}));
    TempDir::Write(dir.File("empty.gxt"), File("", "") + "trailing bytes are ignored");
    MessageLog log;
    EXPECT_TRUE(empty.LoadGXT(dir.File("empty.gxt")));
    EXPECT_TRUE(log.shown.empty());
    EXPECT_EQ(empty.GetEntries(), 0);
    EXPECT_EQ(empty.GetValueFromKey("OLD"), "");
    EXPECT_THROW(empty.GetValue(1), std::out_of_range);
    EXPECT_EQ(Hex(Saved(dir, empty)), "47 42 4C 45 64 00 54 4B 45 59 00 00 00 00 54 44 41 54 00 00 00 00");
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
        EXPECT_EQ(Hex(Saved(dir, m).substr(22 + 24)), bytes + " 5A 00 00 00") << value;
        // The next entry's offset is the encoded length.
        EXPECT_EQ(Snapshot(Loaded(dir, TempDir::Read(dir.File("out.gxt")))), Snapshot(m)) << value;
    }
}

TEST(GxtLoad, ReadingRuleFindsTheTerminatorAtAnyAlignmentAndDropsZeros)
{
    TempDir dir;
    const std::string block = std::string("\x41\x00\x00\x42\x00\x00", 6)       // 0: A, then 00|00 across cells
                              + std::string("\x41\x01\x00\x00", 4)             // 6: both bytes non-zero
                              + std::string("n\0!\0G\0\0\0", 8)                // 10: code stored as cells
                              + std::string("\0\0", 2)                         // 18: empty
                              + std::string("\x01\x02\x03\x00\x00", 5)         // 20: odd length, single bytes
                              + std::string("junk nobody points at\0\0", 23);  // 25: unreferenced
    const std::string records = Key(0, "ONE") + Key(6, "TWO") + Key(10, "THREE") + Key(18, "FOUR") + Key(20, "FIVE") +
                                Key(0, "SAME") + Key(3, "MIDDLE");
    clsGXT m = Loaded(dir, File(records, block, '\x7F'));  // any sixth byte is accepted
    const std::vector<std::string> values = {"A", "\x41\x01", "n!G", "", "\x01\x02\x03", "A", "B"};
    ASSERT_EQ(m.GetEntries(), 7);
    for (int32_t i = 1; i <= 7; ++i)
        EXPECT_EQ(m.GetValue(i), values[static_cast<std::size_t>(i - 1)]) << i;

    // Saved back the system's way: shared texts get their own copies, junk is dropped,
    // the sixth byte is 0.
    const std::string saved = Saved(dir, m);
    EXPECT_EQ(saved[5], '\0');
    EXPECT_EQ(Hex(saved.substr(22 + 12 * 7)),
              "41 00 00 00 41 00 01 00 00 00 6E 21 47 00 00 00 00 00 01 00 02 00 03 00 00 00 41 00 00 00 42 00 00 00");
    EXPECT_EQ(Snapshot(Loaded(dir, saved)), Snapshot(m));
}

TEST(GxtModel, KeysLookupAndIndexErrors)
{
    TempDir dir;
    clsGXT m = Loaded(dir, FileOf({{"ABC", Cells("first")}, {"ABC", Cells("second")}, {"FULLNAME", Cells("8")}}));
    EXPECT_EQ(m.GetKey(1), std::string("ABC\0\0\0\0\0", 8));
    EXPECT_EQ(m.GetValueFromKey("ABC") + m.GetValueFromKey("FULLNAME"), "first8");  // the earlier of two equal names
    EXPECT_EQ(m.GetValueFromKey("abc") + m.GetValueFromKey("ABC ") + m.GetValueFromKey("FULLNAMEX"), "");
    for (int32_t bad : {0, -1, 4}) {
        EXPECT_THROW(m.GetKey(bad), std::out_of_range);
        EXPECT_THROW(m.GetValue(bad), std::out_of_range);
        EXPECT_THROW(m.SetValue(bad, "x"), std::out_of_range);
    }
    EXPECT_EQ(Snapshot(m), Snapshot(Loaded(dir, TempDir::Read(dir.File("in.gxt")))));  // refused edits change nothing
}

TEST(GxtLoad, DamagedFilesAreRefusedAndLeaveTheModelAsItWas)
{
    TempDir dir;
    const std::string good = FileOf({{"AA", Cells("Hi")}, {"BB", Cells("There")}});
    const std::string records = Key(0, "AA"), text = Cells("Hi");  // 6 bytes
    const std::string head = "GBLEd" + std::string(1, '\0') + "TKEY";
    std::vector<std::pair<std::string, std::string>> damaged = {
        {"wrong signature", "GBLEe" + good.substr(5)},
        {"wrong first bytes", "XBLEd" + good.substr(5)},
        {"no TKEY", good.substr(0, 6) + "TKEZ" + good.substr(10)},
        {"negative key table size", head + I32(-12) + records + "TDAT" + I32(6) + text},
        {"key table size not whole records", head + I32(13) + records + "x" + "TDAT" + I32(6) + text},
        {"no TDAT", File(records, text).replace(26, 4, "TDAX")},
        {"negative text block size", File(records, text).replace(30, 4, I32(-1))},
        {"offset before the block", File(Key(-1, "AA"), text)},
        {"offset at the block's end", File(Key(6, "AA"), text)},
        {"offset far past the block", File(Key(0x7FFFFFF0, "AA"), text)},
        {"no terminator", File(records, std::string("H\0i\0", 4))},
        {"terminator cut by the block end", File(records, std::string("H\0", 2)) + std::string(1, '\0')},
    };
    for (std::size_t length = 0; length < good.size(); ++length)  // ends early, at any byte
        damaged.push_back({"cut at " + std::to_string(length), good.substr(0, length)});

    clsGXT m = Loaded(dir, FileOf({{"KEEP", Cells("me")}}));
    const auto before = Snapshot(m);
    for (const auto& [what, bytes] : damaged) {
        TempDir::Write(dir.File("damaged.gxt"), bytes);
        RecordingProgress progress;
        EXPECT_EQ(Thrown<InvalidGXT>([&] { m.ReadGXT(dir.File("damaged.gxt")); }),
                  dir.File("damaged.gxt") + ": " + kInvalid)
            << what;
        EXPECT_EQ(Snapshot(m), before) << what;
        EXPECT_TRUE(progress.calls.empty() || progress.calls.back().kind == 'H') << what;
    }
    // A path that does not exist or cannot be read is named, and nothing is created.
    for (const std::string& path : {dir.File("missing.gxt"), dir.Path().string()}) {
        EXPECT_FALSE(m.LoadGXT(path));
        const std::string error = Thrown<FileError>([&] { m.ReadGXT(path); });
        EXPECT_PRED2(Holds, error, path);
        EXPECT_FALSE(Holds(error, kInvalid));
        EXPECT_EQ(Snapshot(m), before);
    }
    EXPECT_FALSE(fs::exists(dir.File("missing.gxt")));
}

TEST(GxtSave, KeepsThePreviousFileAsBackupAndNeverLosesItOnFailure)
{
    TempDir dir;
    const std::string original = FileOf({{"A", Cells("one")}}), file = dir.File("a.gxt"), b = dir.File("b.gxt");
    clsGXT m = Loaded(dir, original);
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

    TempDir::Write(b, original);
    fs::create_directory(b + ".bak");  // the backup cannot be written: the file stays as it was
    EXPECT_PRED2(Holds, Thrown<FileError>([&] { m.SaveGXT(b); }), b + ": cannot be backed up");
    EXPECT_EQ(TempDir::Read(b), original);
}

TEST(GxtRoundTrip, AGameLikeFileComesBackByteForByteAndEditsTouchOnlyTheirText)
{
    TempDir dir;
    const std::vector<Entry> entries = GameLikeEntries(2600);
    const std::string original = FileOf(entries);
    RecordingProgress progress;
    clsGXT m = Loaded(dir, original);
    ASSERT_EQ(m.GetEntries(), 2600);
    EXPECT_EQ(m.GetValue(17), "W!Text number 16 Go to the phone");  // a capital and "!" as single bytes
    EXPECT_TRUE(Saved(dir, m) == original);
    ASSERT_EQ(progress.calls.size(), 2 * (2600u + 2));
    EXPECT_EQ(progress.calls.front(), (RecordingProgress::Call{'S', 1, 2600, "Loading..."}));
    EXPECT_EQ(progress.calls[2600], (RecordingProgress::Call{'U', 2600, 0, "Loading..."}));
    EXPECT_EQ(progress.calls[2603], (RecordingProgress::Call{'U', 1, 0, "Saving..."}));

    // Entry 17 keeps its "W!" stored as single bytes; entry 9 loses its "G!" and is
    // written as cells; entry 1 gains a code prefix. Every other text is unchanged.
    m.SetValue(17, "W!Changed");
    m.SetValue(9, "Gone");
    m.SetValue(1, "k!New");
    std::vector<Entry> expected = entries;
    expected[16].text = Cells("W!Changed", 2);
    expected[8].text = Cells("Gone");
    expected[0].text = Cells("k!New", 2);
    EXPECT_TRUE(Saved(dir, m) == FileOf(expected));
    // A text that began "W!" as cells gets no single-byte treatment.
    clsGXT cells = Loaded(dir, FileOf({{"W", Cells("W!x")}}));
    EXPECT_EQ(Hex(Saved(dir, cells)), Hex(FileOf({{"W", Cells("W!x")}})));
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
    EXPECT_TRUE(log.shown.empty());
}
