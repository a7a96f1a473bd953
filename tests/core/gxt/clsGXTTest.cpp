#include <gtest/gtest.h>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace gxt_test;

namespace {

class Gxt : public ::testing::Test {
protected:
    std::string Saved(clsGXT& m)
    {
        m.SaveGXT(dir.File("out.gxt"));
        return TempDir::Read(dir.File("out.gxt"));
    }
    TempDir dir;
};

}  // namespace

TEST_F(Gxt, SavesHeaderRecordsAndTextsWithPrefixCodesCellsAndTerminators)
{
    clsGXT m = Parsed(FileOf({{"ABC", Cells("x")}, {"K2", Cells("y")}}));
    m.SetValue(1, "Hi");
    m.SetValue(2, "n!Go");
    // "Hi" in cells, "n!" in single bytes and "Go" in cells, each text after the one before.
    EXPECT_EQ(Saved(m), File(Key(0, "ABC") + Key(6, "K2"), Cells("Hi") + Cells("n!Go", 2)));
    const std::pair<std::string, std::size_t> values[] = {
        {"N!AB", 0},  // upper case is no prefix code
        {"k!", 2},
        {"y", 0},  // shorter than a code
        {"\xE9\xFF", 0},
    };
    for (const auto& [value, singles] : values) {
        m.SetValue(1, value);
        const std::string saved = Saved(m);
        EXPECT_EQ(saved.substr(22 + 24), Cells(value, singles) + Cells("n!Go", 2)) << value;
        EXPECT_EQ(Snapshot(Parsed(saved)), Snapshot(m)) << value;  // the second offset follows the first text
    }
    clsGXT empty = Parsed(File("", "") + "trailing bytes are ignored");
    EXPECT_EQ(Saved(empty), File("", ""));
}

TEST_F(Gxt, TextsEndAtTwoZeroBytesAtAnyAlignmentAndDropEveryZeroWhereverLongOnesBreakOrEnd)
{
    const std::string block = std::string("\x41\x00\x00\x42\x00\x00", 6)       // 0: A, then 00|00 across cells
                              + std::string("\x41\x01\x00\x00", 4)             // 6: both bytes non-zero
                              + std::string("n\0!\0G\0\0\0", 8)                // 10: code stored as cells
                              + std::string("\x01\x02\x03\x00\x00", 5)         // 18: odd length, single bytes
                              + std::string("junk nobody points at\0\0", 23);  // 23: unreferenced
    const std::string records =
        Key(0, "ONE") + Key(6, "TWO") + Key(10, "THREE") + Key(18, "FOUR") + Key(0, "SAME") + Key(3, "MIDDLE");
    clsGXT m = Parsed(File(records, block, '\x7F'));  // any sixth byte is accepted
    const std::string values[] = {"A", "A\x01", "n!G", "\x01\x02\x03", "A", "B"};
    for (int32_t i = 1; i <= 6; ++i)
        EXPECT_EQ(m.GetValue(i), values[i - 1]) << m.GetKey(i);
    // Saved back our way: a text two entries start at is written once, junk is dropped, the sixth byte is 0.
    const std::string saved = Saved(m);
    EXPECT_EQ(saved.substr(5, 1) + saved.substr(22 + 12 * 6), std::string(1, '\0') + Cells("A") + Cells("A\x01") +
                                                                  Cells("n!G", 2) + Cells("\x01\x02\x03") + Cells("B"));
    EXPECT_EQ(saved.substr(14 + 12 * 4, 4), I32(0));  // SAME points at ONE's text
    clsGXT named = Parsed(FileOf({{"ABC", Cells("first")}, {"ABC", Cells("second")}, {"FULLNAME", Cells("8")}}));
    EXPECT_EQ(named.GetValueFromKey("ABC") + named.GetValueFromKey("FULLNAME"), "first8");  // the earlier of two
    EXPECT_EQ(named.GetValueFromKey("abc") + named.GetValueFromKey("ABC ") + named.GetValueFromKey("FULLNAMEX"), "");
    EXPECT_THROW(named.SetValue(4, "x"), std::out_of_range);

    // Texts of 0 to 40 characters at every alignment: as plain cells, with one cell whose
    // second byte is not zero, and with a zero character (its second byte 1) that ends
    // the text early.
    std::string longBlock, longRecords;
    std::vector<std::string> expected;
    for (int n = 0; n <= 40; ++n) {
        std::string text;
        for (int i = 0; i < n; ++i)
            text += static_cast<char>('a' + (i * 7 + n) % 26);
        const std::size_t k = static_cast<std::size_t>(n / 2);
        for (int variant = 0; variant < 3; ++variant) {
            longBlock += std::string(static_cast<std::size_t>(1 + (n + variant) % 4), '\x7F');  // nobody points here
            longRecords += Key(static_cast<int32_t>(longBlock.size()), "T");
            std::string cells = Cells(text);
            if (n > 0 && variant > 0)
                cells.replace(2 * k, 2, variant == 1 ? std::string{text[k], 'Z'} : std::string("\0\1", 2));
            longBlock += cells;
            expected.push_back(n == 0 || variant == 0 ? text
                               : variant == 1
                                   ? text.substr(0, k + 1) + "Z" + text.substr(k + 1)
                                   : text.substr(0, k) + std::string(k == 0, '\x01'));  // a first zero ends nothing
        }
    }
    const clsGXT cut = Parsed(File(longRecords, longBlock));
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(cut.GetValue(static_cast<int32_t>(i + 1)), expected[i]) << "entry " << i + 1;
    // Cells that run to the end of the longBlock, with no terminator, at and off a 16-byte boundary.
    for (const std::size_t length : {8u, 9u, 16u})
        EXPECT_THROW(Parsed(File(Key(0, "CUT"), Cells(std::string(length, 'q')).substr(0, 2 * length))), InvalidGXT);
}

TEST_F(Gxt, DamagedFilesAreInvalidUnreadableOnesNamedAndNeitherChangesTheModel)
{
    const std::string good = FileOf({{"AA", Cells("Hi")}, {"BB", Cells("There")}});
    const std::string records = Key(0, "AA"), text = Cells("Hi"), head = std::string("GBLEd\0TKEY", 10);
    std::vector<std::string> damaged = {
        "GBLEe" + good.substr(5),                                     // wrong signature
        good.substr(0, 6) + "TKEZ" + good.substr(10),                 // no "TKEY"
        head + I32(-12) + records + "TDAT" + I32(6) + text,           // negative table size
        head + I32(13) + records + "x" + "TDAT" + I32(6) + text,      // a table of partial records
        File(records, text).replace(26, 4, "TDAX"),                   // no "TDAT"
        File(records, text).replace(30, 4, I32(-1)),                  // negative block size
        File(Key(-1, "AA"), text),                                    // text before the block
        File(Key(6, "AA"), text),                                     // text at the block's end
        File(Key(0x7FFFFFF0, "AA"), text),                            // text far past the block
        File(records, std::string("H\0i\0", 4)),                      // no terminator
        File(records, std::string("H\0", 2)) + std::string(1, '\0'),  // terminator cut by the block's end
    };
    for (std::size_t length = 0; length < good.size(); ++length)  // ends early, at any byte
        damaged.push_back(good.substr(0, length));
    clsGXT m = Parsed(FileOf({{"KEEP", Cells("me")}}));
    for (const std::string& bytes : damaged) {
        RecordingProgress progress;
        EXPECT_EQ(Thrown<InvalidGXT>([&] { m.ParseGXT(AsBytes(bytes), "bad.gxt"); }),
                  "bad.gxt: Error - No a valid GXT file!")
            << ::testing::PrintToString(bytes);
        EXPECT_TRUE(progress.HiddenAtTheEnd());
    }
    for (const std::string& path : {dir.File("missing.gxt"), dir.Utf8()}) {
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { m.ReadGXT(path); }), path + ": cannot be opened");
        EXPECT_FALSE(m.LoadGXT(path));
    }
    EXPECT_EQ(m.GetValueFromKey("KEEP"), "me");
    TempDir::Write(dir.File("good.gxt"), good);
    EXPECT_TRUE(m.LoadGXT(dir.File("good.gxt")));
    EXPECT_EQ(m.GetValueFromKey("BB"), "There");
}

TEST_F(Gxt, AGameLikeFileComesBackByteForByteAndEditsTouchOnlyTheirText)
{
    const std::vector<Entry> entries = GameLikeEntries(2600);
    const std::string original = FileOf(entries);
    RecordingProgress progress;
    clsGXT m = Parsed(original);
    EXPECT_TRUE(Saved(m) == original);
    ASSERT_EQ(progress.calls.size(), 2 * (2600u + 2));  // one step per entry, loading and saving
    EXPECT_EQ(progress.calls[2603], (RecordingProgress::Call{'U', 1, 0, "Saving..."}));
    // Entry 17 keeps its "W!" stored as single bytes; entry 9 loses its "G!" and is
    // written as cells; entry 1 gains a code prefix. Every other text is unchanged.
    std::vector<Entry> expected = entries;
    for (const auto& [entry, value, singles] :
         {std::tuple<int32_t, std::string, std::size_t>{17, "W!Changed", 2}, {9, "Gone", 0}, {1, "k!New", 2}}) {
        m.SetValue(entry, value);
        expected[static_cast<std::size_t>(entry - 1)].text = Cells(value, singles);
    }
    EXPECT_TRUE(Saved(m) == FileOf(expected));
    EXPECT_TRUE(TempDir::Read(dir.File("out.gxt.bak")) == original);  // the previous save, kept
    clsGXT cells = Parsed(FileOf({{"W", Cells("W!x")}}));             // "W!" stored as cells stays cells
    EXPECT_EQ(Saved(cells), FileOf({{"W", Cells("W!x")}}));
}

TEST_F(Gxt, KeysSharingOneTextShareItInMemoryEditsAndTheSavedFile)
{
    // 20,000 keys into one text of 100,000 characters, at its start and at every later
    // cell: copies of their own would take gigabytes. Values are compared at every 97th
    // entry, for the same reason.
    const auto same = [](const clsGXT& a, const clsGXT& b) {
        bool equal = a.GetEntries() == b.GetEntries();
        for (int32_t i = 1; equal && i <= a.GetEntries(); i += 97)
            equal = a.GetKey(i) == b.GetKey(i) && a.GetValue(i) == b.GetValue(i);
        return equal;
    };
    std::string records;
    for (int32_t k = 0; k < 20000; ++k)
        records += Key(k % 2 == 0 ? 0 : 2 * k, std::to_string(k));
    const std::string text = "n!" + std::string(99998, 'x');
    clsGXT m = Parsed(File(records, Cells(text)));
    EXPECT_EQ(m.GetValue(1), text);
    EXPECT_EQ(m.GetValue(20000), std::string(100000 - 19999, 'x'));
    const std::string saved = Saved(m);
    EXPECT_LT(saved.size(), 20000u * 12 + 200100);  // the text once, every key pointing into it
    EXPECT_TRUE(same(Parsed(saved), m));
    EXPECT_EQ(Saved(m), saved);

    // Edits replace values many times over; what was shared stays shared and whole.
    for (int round = 0; round < 3; ++round)
        for (int32_t k = 1; k <= 20000; k += 7)
            m.SetValue(k, std::string(static_cast<std::size_t>(k % 300), static_cast<char>('a' + round)));
    EXPECT_EQ(m.GetValue(8), std::string(8, 'c'));
    EXPECT_EQ(m.GetValue(9), text);
    EXPECT_EQ(m.GetValue(19998), std::string(100000 - 19997, 'x'));
    EXPECT_TRUE(same(Parsed(Saved(m)), m));
}
