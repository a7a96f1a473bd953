#include <gtest/gtest.h>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/Thrown.h"

using namespace gxt_test;

namespace {

// Bytes 0x80 to 0xFF as `charset` reads them: its letters, else U+E000 + the byte.
std::string HighBytes(GxtCharset charset)
{
    const bool font = charset == GxtCharset::GameFont;
    std::string out = font ? "ÀÁÂÄÆÇÈÉÊËÌÍÎÏÒÓÔÖÙÚÛÜßàáâäæçèéêëìíîïòóôöùúûüÑñ¿¡"
                           : "€\uE081‚ƒ„…†‡ˆ‰Š‹Œ\uE08DŽ\uE08F\uE090‘’“”•–—˜™š›œ\uE09DžŸ";
    for (unsigned b = font ? 0xB1 : 0xA0; b < 256; ++b)  // placeholders, or Latin-1
        out += font ? std::string{char(0xEE), char(0x80 | (b >> 6)), char(0x80 | (b & 0x3F))}
                    : std::string{char(0xC0 | (b >> 6)), char(0x80 | (b & 0x3F))};
    return out;
}

}  // namespace

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

class GxtCharsets : public ::testing::TestWithParam<GxtCharset> {};

TEST_P(GxtCharsets, EveryByteReadsAsItsLetterOrPlaceholderAndIsStoredBack)
{
    std::string all;
    for (unsigned b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    clsGXT m = Parsed(FileOf({{"all", Cells(all)}}));
    m.SetCharset(GetParam());
    const std::string text = m.GetText(1);
    EXPECT_EQ(text, all.substr(0, 127) + HighBytes(GetParam()));
    m.SetText(1, "x");
    m.SetText(1, text);
    EXPECT_EQ(m.GetValue(1), all);
}

INSTANTIATE_TEST_SUITE_P(Both, GxtCharsets, ::testing::Values(GxtCharset::GameFont, GxtCharset::Windows1252));

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
