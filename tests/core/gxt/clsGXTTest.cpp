// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace gxt_test;

namespace {

class Gxt : public ::testing::Test {
protected:
    TempDir dir;
};

std::string Saved(const clsGXT& m, Progress& progress = NoProgress())
{
    const std::vector<uint8_t> bytes = m.Serialize(progress);
    return std::string(bytes.begin(), bytes.end());
}

// Texts not in key order (the table is sorted), the markup, one text shared by two keys
// and read from its middle by a third, bytes no key points at, a key with a byte above
// 127 (sorted unsigned), a text a save would not write so.
std::vector<Piece> GameOrder()
{
    return {{Cells("s!Welcome to Anywhere City", 2), {{"welcome", 0}}},
            {Cells("Apple #pie#"), {{"apple", 0}, {"pie", 0}, {"le", 6}}},
            {std::string("\x7F\x7F\0", 3), {}},
            {Cells("n!Zebra crossing *", 2), {{"zebra", 0}}},
            {std::string("G!M\0a\0n\1g\0o\0\0\0", 14), {{"\xC9t\xE9", 0}}}};  // a cell "n\1", stored back so
}

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
    clsGXT empty = Parsed(File("", "") + "trailing bytes are kept");
    EXPECT_EQ(Saved(empty), File("", "") + "trailing bytes are kept");
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
    // Unedited, the sixth byte and the block come back as they were, junk included.
    const std::string saved = Saved(m);
    EXPECT_EQ(saved.substr(5, 1) + saved.substr(22 + 12 * 6), "\x7F" + block);
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

TEST_F(Gxt, DamagedFilesSayWhatIsWrongUnreadableOnesAreNamedAndNeitherChangesTheModel)
{
    const std::string good = FileOf({{"AA", Cells("Hi")}, {"BB", Cells("There")}});
    const std::string records = Key(0, "AA"), text = Cells("Hi"), head = std::string("GBLEd\0TKEY", 10);
    std::vector<std::pair<std::string, std::string>> damaged = {
        {"GBLEe" + good.substr(5), "It does not begin with \"GBL\", a language letter and \"d\"."},
        {good.substr(0, 6) + "TKEZ" + good.substr(10), "It has no key table (\"TKEY\") at byte 6."},
        {head + I32(-12) + records + "TDAT" + I32(6) + text,
         "The key table claims 4,294,967,284 bytes, but the file has 40 bytes."},
        {head + I32(13) + records + "x" + "TDAT" + I32(6) + text,
         "The key table's 13 bytes are not a whole number of 12-byte keys."},
        {File(records, text).replace(26, 4, "TDAX"), "It has no text block (\"TDAT\") after the key table."},
        {File(records, text).replace(30, 4, I32(-1)),
         "The text block claims 4,294,967,295 bytes, but the file has only 6 bytes more."},
        {File(Key(-1, "AA"), text), "Key \"AA\" points at byte 4,294,967,295 of a text block of 6 bytes."},
        {File(Key(6, "A\tA"), text), "Key \"A?A\" points at byte 6 of a text block of 6 bytes."},
        {File(records, std::string("H\0", 2)) + std::string(1, '\0'),  // terminator cut by the block's end
         "The text of key \"AA\" runs to the end of the text block without its two zero bytes."},
    };
    for (std::size_t length = 0; length < good.size(); ++length)  // ends early, at any byte: some reason
        damaged.emplace_back(good.substr(0, length), "");
    clsGXT m = Parsed(FileOf({{"KEEP", Cells("me")}}));
    for (const auto& [bytes, why] : damaged) {
        RecordingProgress progress;
        const std::string said = Thrown<InvalidGXT>([&] { m.ParseGXT(AsBytes(bytes), "bad.gxt", progress); });
        EXPECT_EQ(said.substr(0, said.find('\n') + 1), "bad.gxt: Error - No a valid GXT file!\n");
        EXPECT_PRED2(Holds, said.substr(said.find('\n') + 1), why.empty() ? "." : why)
            << ::testing::PrintToString(bytes);
        EXPECT_TRUE(progress.HiddenAtTheEnd());
    }
    EXPECT_FALSE(m.LoadGXT(dir.File("missing.gxt")));  // what ReadGXT throws, LoadGXT answers
    EXPECT_EQ(m.GetValueFromKey("KEEP"), "me");
    TempDir::Write(dir.File("good.gxt"), good);
    EXPECT_TRUE(m.LoadGXT(dir.File("good.gxt")));
    EXPECT_EQ(m.GetValueFromKey("BB"), "There");
}

TEST_F(Gxt, AnUneditedSaveGivesBackTheFileAndAnEditChangesOnlyItsTextAndTheOffsetsAfterIt)
{
    const std::string original = LaidOut(GameOrder(), '\x7F', "tail");
    RecordingProgress progress;
    const clsGXT m = Parsed(original, "in.gxt", progress);
    EXPECT_TRUE(Saved(m, progress) == original);
    ASSERT_EQ(progress.calls.size(), 2 * (6u + 2));  // one step per entry, loading and saving
    EXPECT_EQ(progress.calls[9], (RecordingProgress::Call{'U', 1, 0, "Saving..."}));
    const std::tuple<std::size_t, std::string, std::size_t> edits[] = {
        {3, "n!Zebra", 2},                      // shorter, its markup kept
        {3, "n!Zebra crossing #", 2},           // as long
        {3, "Two zebra crossings, *both*", 0},  // longer, without markup
        {0, "Welcome", 0},                      // the first text loses its markup
        {4, "G!Melon", 2},                      // an upper-case prefix read as single bytes stays so
        {4, "k!", 2},                           // the last gains markup
    };
    for (const auto& [piece, text, singles] : edits) {
        clsGXT edited = m;
        const int32_t entry = edited.FindKey(GameOrder()[piece].keys[0].first);
        edited.SetValue(entry, text);
        std::vector<Piece> expected = GameOrder();
        expected[piece].bytes = Cells(text, singles);
        EXPECT_TRUE(Saved(edited) == LaidOut(expected, '\x7F', "tail")) << text;
        edited.SetValue(entry, m.GetValue(entry));  // back as read: saved as read
        EXPECT_TRUE(Saved(edited) == original) << text;
    }

    // A key of a shared text that changes gets a text of its own after the shared one;
    // once all of them have changed, theirs take its place.
    clsGXT shared = m;
    shared.SetValue(shared.FindKey("pie"), "Pie");
    std::vector<Piece> expected = GameOrder();
    expected[1].keys.erase(expected[1].keys.begin() + 1);
    expected.insert(expected.begin() + 2, Piece{Cells("Pie"), {{"pie", 0}}});
    EXPECT_TRUE(Saved(shared) == LaidOut(expected, '\x7F', "tail"));
    shared.SetValue(shared.FindKey("apple"), "Apple");
    shared.SetValue(shared.FindKey("le"), "Le");
    expected[1] = {Cells("Apple"), {{"apple", 0}}};
    expected.insert(expected.begin() + 3, Piece{Cells("Le"), {{"le", 0}}});
    EXPECT_TRUE(Saved(shared) == LaidOut(expected, '\x7F', "tail"));

    // The table stays sorted whatever is added or renamed; a removed key's text stays.
    clsGXT keys = m;
    EXPECT_EQ(keys.AddEntry("AAA", "n!New"), 7);
    keys.RenameEntry(keys.FindKey("zebra"), "ant");
    keys.RemoveEntry(keys.FindKey("welcome"));
    expected = GameOrder();
    expected[0].keys.clear();
    expected[3].keys[0].first = "ant";
    expected.push_back({Cells("n!New", 2), {{"AAA", 0}}});
    EXPECT_TRUE(Saved(keys) == LaidOut(expected, '\x7F', "tail"));
    EXPECT_EQ(keys.GetKey(6).substr(0, 3) + keys.GetKey(4).substr(0, 3), "AAAant");  // the model keeps its order

    // A save that would pass the largest text file is refused before anything is written.
    const std::string file = dir.File("out.gxt");
    TempDir::Write(file, "before");
    clsGXT large = keys;
    const std::size_t room = (kLargestTextFile.bytes - Saved(keys).size() + GameOrder()[4].bytes.size() - 2) / 2;
    large.SetValue(keys.FindKey("\xC9t\xE9"), std::string(room, 'x'));
    EXPECT_EQ(large.Serialize().size(), kLargestTextFile.bytes - 1);  // the most an odd-sized rest allows
    large.SetValue(keys.FindKey("\xC9t\xE9"), std::string(room + 1, 'x'));
    EXPECT_EQ(Thrown<FileError>([&] { large.SaveGXT(file); }),
              file + ": the texts would make a text file of 67108865 bytes, more than the 64 MB a text file may have");
    EXPECT_EQ(dir.Listing(), std::set<std::string>{"out.gxt=before"});
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
    for (int32_t k = 0; k < 20000; ++k)  // names in the table's order: 00000 to 19999
        records += Key(k % 2 == 0 ? 0 : 2 * k, std::to_string(100000 + k).substr(1));
    const std::string text = "n!" + std::string(99998, 'x');
    clsGXT m = Parsed(File(records, Cells(text)));
    EXPECT_EQ(m.GetValue(1), text);
    EXPECT_EQ(m.GetValue(20000), std::string(100000 - 19999, 'x'));
    EXPECT_TRUE(Saved(m) == File(records, Cells(text)));

    // Edits replace values many times over; what was shared stays shared and whole.
    for (int round = 0; round < 3; ++round)
        for (int32_t k = 1; k <= 20000; k += 7)
            m.SetValue(k, std::string(static_cast<std::size_t>(k % 300), static_cast<char>('a' + round)));
    EXPECT_EQ(m.GetValue(8), std::string(8, 'c'));
    EXPECT_EQ(m.GetValue(9), text);
    EXPECT_EQ(m.GetValue(19998), std::string(100000 - 19997, 'x'));
    EXPECT_TRUE(same(Parsed(Saved(m)), m));
}
