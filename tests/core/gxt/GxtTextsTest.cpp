#include <gtest/gtest.h>

#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace gxt_test;

namespace {

// What byte b reads as: ASCII, the charset's letter, or U+E000 + b ("?" in the tables).
std::string Expected(GxtCharset charset, unsigned b)
{
    static const std::string gameFont = "ÀÁÂÄÆÇÈÉÊËÌÍÎÏÒÓÔÖÙÚÛÜßàáâäæçèéêëìíîïòóôöùúûüÑñ¿¡";
    static const std::string cp1252 = "€?‚ƒ„…†‡ˆ‰Š‹Œ?Ž??‘’“”•–—˜™š›œ?žŸ";
    const auto nth = [](const std::string& table, unsigned n) {  // the n-th UTF-8 character
        std::size_t at = 0;
        for (; n > 0; --n)
            for (++at; (table[at] & 0xC0) == 0x80;)
                ++at;
        std::size_t end = at + 1;
        while (end < table.size() && (table[end] & 0xC0) == 0x80)
            ++end;
        return table.substr(at, end - at);
    };
    std::string letter = b < 0x80 ? std::string(1, static_cast<char>(b)) : "";
    if (charset == GxtCharset::GameFont && b >= 0x80 && b <= 0xB0)
        letter = nth(gameFont, b - 0x80);
    if (charset == GxtCharset::Windows1252 && b >= 0x80)
        letter = b >= 0xA0                      ? std::string{char(0xC0 | (b >> 6)), char(0x80 | (b & 0x3F))}
                 : nth(cp1252, b - 0x80) == "?" ? ""
                                                : nth(cp1252, b - 0x80);
    const unsigned placeholder = 0xE000 + b;
    return !letter.empty() ? letter
                           : std::string{char(0xEE), char(0x80 | ((placeholder >> 6) & 0x3F)), char(0x80 | (b & 0x3F))};
}

}  // namespace

TEST(GxtLanguages, TheFiveLettersAreTakenAndWrittenBackOthersAreRefusedByName)
{
    TempDir dir;
    const std::string english = FileOf({{"K", Cells("x")}});
    EXPECT_EQ(clsGXT().Language(), 'E');
    for (char letter : std::string("EFGIS")) {
        clsGXT m = Parsed(InLanguage(File(Key(0, "K"), Cells("x"), '\x7F'), letter));  // any sixth byte
        m.SaveGXT(dir.File("out.gxt"));
        EXPECT_EQ(m.Language(), letter);
        EXPECT_EQ(TempDir::Read(dir.File("out.gxt")), InLanguage(english, letter));  // the sixth byte is 0
    }
    const std::pair<char, std::string> refused[] = {
        {'J', "'J' (Japanese)"}, {'X', "'X'"}, {'e', "'e'"}, {'\x01', "byte 0x01"}};
    clsGXT m = Parsed(GameFontFrenchFile());
    for (const auto& [letter, named] : refused)
        EXPECT_EQ(Thrown<UnsupportedGxtLanguage>([&] { m.ParseGXT(AsBytes(InLanguage(english, letter)), "j.gxt"); }),
                  "j.gxt: the language " + named +
                      " is not supported: only English, French, German, Italian and Spanish GXT files are");
    EXPECT_EQ(Snapshot(m), Snapshot(Parsed(GameFontFrenchFile())));
    EXPECT_THROW(Parsed(english.substr(0, 4) + "e" + english.substr(5)), InvalidGXT);  // the version's first byte
}

class GxtCharsets : public ::testing::TestWithParam<GxtCharset> {};

TEST_P(GxtCharsets, EveryByteReadsAsItsLetterOrPlaceholderAndIsStoredBack)
{
    std::vector<Entry> entries;
    std::string all, expectedAll;
    for (unsigned b = 1; b < 256; ++b) {
        entries.push_back({std::string("b") + std::to_string(b), Cells(std::string(1, static_cast<char>(b)))});
        all += static_cast<char>(b);
        expectedAll += Expected(GetParam(), b);
    }
    entries.push_back({"all", Cells(all)});
    clsGXT m = Parsed(FileOf(entries));
    m.SetCharset(GetParam());
    for (int32_t b = 1; b < 256; ++b) {
        EXPECT_EQ(m.GetText(b), Expected(GetParam(), static_cast<unsigned>(b))) << b;
        m.SetText(b, Expected(GetParam(), static_cast<unsigned>(b)));
        EXPECT_EQ(m.GetValue(b), std::string(1, static_cast<char>(b))) << b;
    }
    EXPECT_EQ(m.GetText(256), expectedAll);
    m.SetText(256, m.GetText(256));
    EXPECT_EQ(m.GetValue(256), all);
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
    clsGXT french = Parsed(GameFontFrenchFile(), "e.gxt"), menu = Parsed(Windows1252MenuFile(), "bob_g.gxt");
    EXPECT_EQ(french.GetText(1) + french.GetText(2) + menu.GetText(1) + menu.GetText(2), "Café à Noël¿Ñandú?GrößeÜber");
    const std::string bytes = french.GetValue(1);
    french.SetCharset(GxtCharset::Windows1252);  // shown otherwise, stored the same
    EXPECT_EQ(french.GetText(1), "Cafž — No\xC2\xA0l");
    EXPECT_EQ(french.GetValue(1), bytes);
}

TEST(GxtCharsetRules, CharactersWithoutAByteAreRefusedByNameAndChangeNothing)
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
}

TEST(GxtEntries, AreAddedRenamedAndRemovedUnderValidUniqueKeys)
{
    TempDir dir;
    clsGXT m = Parsed(GameFontFrenchFile());
    EXPECT_EQ(m.AddEntry("knp*", "Élan"), 3);
    EXPECT_EQ(m.AddEntry("k:", ""), 4);
    m.RenameEntry(1, "caf");  // its own name again
    m.RenameEntry(2, "n.");
    m.RemoveEntry(1);
    m.SaveGXT(dir.File("out.gxt"));
    clsGXT back;
    back.ReadGXT(dir.File("out.gxt"));
    EXPECT_EQ(Snapshot(back),
              (std::vector<std::string>{"F",
                                        std::string("n.\0\0\0\0\0\0=\xAF\xAD"
                                                    "and\xAA?",
                                                    16),
                                        std::string("knp*\0\0\0\0=\x87lan", 13), std::string("k:\0\0\0\0\0\0=", 9)}));
    EXPECT_EQ(back.FindKey("knp*") + back.FindKey("KNP*"), 2);
    const std::pair<std::string, std::string> bad[] = {
        {"", "1 to 7 characters; \"\" has 0"},
        {"EIGHTCHR", "has 8"},
        {"a b", "printable ASCII characters other than space only"},
        {"tab\t", "printable"},
        {"\xC3\xA9", "printable"},
        {"k:", "\"k:\" is already used by entry 3"},
    };
    for (const auto& [key, why] : bad) {
        EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([&] { back.AddEntry(key, "x"); }), why) << key;
        EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([&] { back.RenameEntry(1, key); }), why) << key;
    }
    for (int32_t outside : {0, 4}) {
        EXPECT_THROW(back.RenameEntry(outside, "fresh"), std::out_of_range);
        EXPECT_THROW(back.RemoveEntry(outside), std::out_of_range);
    }
    EXPECT_EQ(Snapshot(back).size(), 4u);
}
