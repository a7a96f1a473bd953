// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/Thrown.h"

using namespace gxt_test;

TEST(GxtLanguages, TheFiveLettersAreTakenAndWrittenBackOthersAreRefusedByName)
{
    const std::string english = FileOf({{"K", Cells("x")}});
    EXPECT_EQ(clsGXT().Language(), 'E');
    for (char letter : std::string("EFGIS")) {
        const std::string file = InLanguage(File(Key(0, "K"), Cells("x"), '\x7F'), letter);  // any sixth byte
        clsGXT m = Parsed(file);
        m.SetValue(1, "y");
        EXPECT_EQ(m.Language(), letter);
        const std::vector<uint8_t> saved = m.Serialize();
        EXPECT_EQ(std::string(saved.begin(), saved.begin() + 6), file.substr(0, 6));  // written back as read
    }
    const std::pair<char, std::string> refused[] = {
        {'J', "'J' (Japanese)"}, {'X', "'X'"}, {'e', "'e'"}, {'\x01', "byte 0x01"}};
    clsGXT m = Parsed(GameFontFrenchFile());
    for (const auto& [letter, named] : refused)
        EXPECT_EQ(Thrown<UnsupportedGxtLanguage>([&] { m.ParseGXT(AsBytes(InLanguage(english, letter)), "j.gxt"); }),
                  "j.gxt: the language " + named +
                      " is not supported: only English, French, German, Italian and Spanish GXT files are");
    EXPECT_EQ(Snapshot(m), Snapshot(Parsed(GameFontFrenchFile())));
}

// The ends of each table: the letters of one charset and the placeholders (U+E000 + the
// byte) of bytes without one, which are stored back as those bytes.
TEST(GxtCharsets, BytesReadAsTheirLettersOrPlaceholdersAndAreStoredBack)
{
    const std::string bytes = "\x01\x7F\x80\x81\x9F\xA0\xB0\xB1\xFF";
    clsGXT m = Parsed(FileOf({{"K", Cells(bytes)}}));
    for (const auto& [charset, text] : {std::pair{GxtCharset::GameFont, "\x01\x7FÀÁêë¡\uE0B1\uE0FF"},
                                        {GxtCharset::Windows1252, "\x01\x7F€\uE081Ÿ\u00A0°±ÿ"}}) {
        m.SetCharset(charset);
        EXPECT_EQ(m.GetText(1), text);
        m.SetText(1, "x");
        m.SetText(1, text);
        EXPECT_EQ(m.GetValue(1), bytes);
    }
}

TEST(GxtCharsetRules, DetectionFollowsTheBytesThenTheName)
{
    const std::tuple<std::string, std::string, GxtCharset> cases[] = {
        {"\x9E\xE9\x9E", "bob_e.gxt", GxtCharset::GameFont},           // more in 0x80-0xB0
        {"\xE9\xFC\x9E", "e.gxt", GxtCharset::Windows1252},            // more in 0xC0-0xFF
        {"\xB5\xBF plain", "dir/bob_f.gxt", GxtCharset::Windows1252},  // a tie: the name decides
        {"plain", "C:\\GTA2\\BOB_G.GXT", GxtCharset::Windows1252},
        {"\x9E\xE9", "xbob_e.gxt", GxtCharset::GameFont},
        {std::string(17, '\xB0') + std::string(16, '\xC0'), "bob_e.gxt", GxtCharset::GameFont},  // counted in blocks
        {std::string(16, '\x80') + std::string(17, '\xFF'), "e.gxt", GxtCharset::Windows1252},
    };
    for (const auto& [text, file, expected] : cases)
        EXPECT_EQ(Parsed(FileOf({{"K", Cells(text)}}), file).Charset(), expected) << file;
}

TEST(GxtEntries, CharactersWithoutAByteAreRefusedAndEntriesAreAddedRenamedAndRemovedUnderValidUniqueKeys)
{
    clsGXT m = Parsed(GameFontFrenchFile());
    const std::pair<std::string, std::string> refused[] = {
        {"costs 5 €", "the character \"€\" (U+20AC) has no byte in the game font of this GXT file"},
        {"Ā", "the character \"Ā\" (U+0100)"},
        {std::string("a\0b", 3), "the character (U+0000)"},
        {"\xEE\x82\x80", "(U+E080)"},  // the placeholder of a byte that has a letter
        {"caf\xE9", "not valid UTF-8"},
        {"\xC0\xAE", "not valid UTF-8"},      // an overlong '.'
        {"\xED\xA0\x80", "not valid UTF-8"},  // a surrogate
    };
    for (const auto& [text, message] : refused) {
        EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([&] { m.SetText(1, text); }), message);
        EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([&] { m.AddEntry("NEW", text); }), message);
    }
    EXPECT_THROW(m.SetText(3, "x"), std::out_of_range);
    EXPECT_THROW(m.GetText(0), std::out_of_range);
    EXPECT_EQ(Snapshot(m), Snapshot(Parsed(GameFontFrenchFile())));

    // Entries are added, renamed and removed under valid, unique keys.
    EXPECT_EQ(m.AddEntry("knp*", "Élan"), 3);
    EXPECT_EQ(m.AddEntry("k:", ""), 4);
    m.RenameEntry(1, "caf");  // its own name again
    m.RenameEntry(2, "n.");
    m.RemoveEntry(1);
    const std::vector<uint8_t> saved = m.Serialize();
    clsGXT back;
    back.ParseGXT(saved, "out.gxt");
    EXPECT_EQ(back.Language(), 'F');
    EXPECT_EQ(back.GetKey(1) + back.GetKey(2) + back.GetKey(3),  // the table is sorted
              std::string("k:\0\0\0\0\0\0knp*\0\0\0\0n.\0\0\0\0\0\0", 24));
    EXPECT_EQ(back.GetText(1) + "|" + back.GetText(2) + "|" + back.GetText(3), "|Élan|¿Ñandú?");
    EXPECT_EQ(back.FindKey("knp*") + back.FindKey("KNP*"), 2);
    const std::pair<std::string, std::string> bad[] = {
        {"", "1 to 7 characters; \"\" has 0"},
        {"EIGHTCHR", "has 8"},
        {"a b", "printable ASCII characters other than space only"},
        {"tab\t", "printable"},
        {"\xC3\xA9", "printable"},
        {"k:", "\"k:\" is already used"},
    };
    for (const auto& [key, why] : bad) {
        EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([&] { back.AddEntry(key, "x"); }), why) << key;
        EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([&] { back.RenameEntry(2, key); }), why) << key;
    }
    for (int32_t outside : {0, 4}) {
        EXPECT_THROW(back.RenameEntry(outside, "fresh"), std::out_of_range);
        EXPECT_THROW(back.RemoveEntry(outside), std::out_of_range);
    }
    EXPECT_EQ(Snapshot(back).size(), 4u);
}
