// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/po/GxtPo.h"
#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace gxt_test;

namespace {

std::tuple<int, int, int> Counts(const PoImportResult& r)
{
    return {r.updated, r.unchanged, r.skipped};
}

class GxtPo : public ::testing::TestWithParam<GxtCharset> {
protected:
    TempDir dir;
    std::string po = dir.File("texts.po");
};

}  // namespace

TEST_P(GxtPo, EveryTextSurvivesExportAndImportAndMsgfmtAcceptsTheFile)
{
    std::string all;
    for (unsigned b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    // Texts PO cannot carry as they are, keys with punctuation, an empty text, every byte.
    clsGXT original = Parsed(FileOf({{"knp*", Cells("\n\nbreaks\nround\n")},
                                     {"knp.", Cells("\x04 eot \x04")},
                                     {"k:", Cells("")},
                                     {"quotes", Cells("\"\\\t\r\a %s %d")},
                                     {"all", Cells(all)},
                                     {"knp*", Cells("a key's second entry")}}));
    original.SetCharset(GetParam());
    // Originals that differ from the texts in their line breaks at the start and end.
    const clsGXT source = Parsed(FileOf({{"knp*", Cells("breaks")}, {"knp.", Cells("\nlead")}}));
    ExportPo(original, &source, po);
    clsGXT same = original, changed = original;
    for (int32_t i = 1; i <= changed.GetEntries(); ++i)
        changed.SetText(i, "x");
    EXPECT_EQ(Counts(ImportPo(same, po)), std::make_tuple(0, 5, 0));
    EXPECT_EQ(Snapshot(same), Snapshot(original));
    EXPECT_EQ(Counts(ImportPo(changed, po)), std::make_tuple(4, 1, 0));
    for (int32_t i : {1, 2, 4, 5})
        EXPECT_EQ(changed.GetValue(i), original.GetValue(i)) << i;
    EXPECT_EQ(changed.GetValue(3) + changed.GetValue(6), "xx");  // an empty msgstr, a key's second entry
    EXPECT_PRED2(Holds, TempDir::Read(po), "\"Content-Type: text/plain; charset=UTF-8\\n\"");
    if (std::system("msgfmt --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "msgfmt (Debian: gettext) is not installed: the export was not checked by it";
    const int rc = std::system(("msgfmt --check -o /dev/null '" + po + "' > '" + po + ".said' 2>&1").c_str());
    EXPECT_EQ(std::to_string(rc) + TempDir::Read(po + ".said"), "0");  // accepted, without a word
}

INSTANTIATE_TEST_SUITE_P(Both, GxtPo, ::testing::Values(GxtCharset::GameFont, GxtCharset::Windows1252));

TEST(GxtPoFiles, MsgidsComeFromTheSourceAndTheHeaderNamesTheLanguage)
{
    TempDir dir;
    const clsGXT french = Parsed(GameFontFrenchFile());
    const clsGXT english = Parsed(FileOf({{"caf", Cells("Coffee")}, {"other", Cells("x")}}));
    ExportPo(french, &english, dir.File("fr.po"));
    const std::string text = TempDir::Read(dir.File("fr.po"));
    EXPECT_PRED2(Holds, text, "\"Language: fr\\n\"");
    EXPECT_PRED2(Holds, text, "msgctxt \"caf\"\nmsgid \"Coffee\"\nmsgstr \"Café à Noël\"\n");
    EXPECT_PRED2(Holds, text, "msgctxt \"nandu\"\nmsgid \"¿Ñandú?\"\nmsgstr \"¿Ñandú?\"\n");  // not in the source
    EXPECT_EQ(text.find("other"), std::string::npos);
    EXPECT_PRED2(Holds, Thrown<FileError>([&] { ExportPo(french, nullptr, dir.File("no/such.po")); }),
                 "no/such.po: cannot be written");
    clsGXT big = Parsed(FileOf(ManyEntries(2600)));
    ExportPo(big, nullptr, dir.File("big.po"));
    EXPECT_EQ(Counts(ImportPo(big, dir.File("big.po"))), std::make_tuple(0, 2600, 0));
}

TEST(GxtPoFiles, ADamagedFileIsRefusedByNameAndLineAndAGoodOneCountsAndNamesWhatItSkips)
{
    TempDir dir;
    const std::string head = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
    const std::string entry = "msgctxt \"caf\"\nmsgid \"a\"\nmsgstr \"changed\"\n\n";
    const std::pair<std::string, std::string> damaged[] = {
        {head + entry + "msgctxt \"nandu\"\nmsgid \"b\nmsgstr \"c\"\n", ": line 10: end-of-line within string"},
        {head + entry + "msgctxt \"nandu\"\nmsgstr \"c\"\n", ": line 9: "},  // no msgid
        {head + entry + entry, ": line 9: duplicate message definition"},
        {"msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n" + entry,
         ": its texts are in ISO-8859-1; only UTF-8 PO files are read"},
    };
    clsGXT m = Parsed(GameFontFrenchFile());
    for (const auto& [bytes, message] : damaged) {
        TempDir::Write(dir.File("bad.po"), bytes);
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { ImportPo(m, dir.File("bad.po")); }), dir.File("bad.po") + message);
    }
    for (const std::string& missing : {dir.File("missing.po"), std::string("-")})  // "-" is a file name, not stdin
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { ImportPo(m, missing); }), missing + ": cannot be opened");
    EXPECT_EQ(Snapshot(m), Snapshot(Parsed(GameFontFrenchFile())));

    TempDir::Write(dir.File("in.po"), R"(msgid "" msgstr "Content-Type: text/plain; charset=UTF-8\n"
msgctxt "caf" msgid "Coffee" msgstr "Café"
msgctxt "nandu" msgid "¿Ñandú?" msgstr "¿Ñandú?"
msgctxt "gone" msgid "x" msgstr "y"
#, fuzzy
msgctxt "nandu" msgid "f" msgstr "fuzzy"
msgid "no context" msgstr "z"
msgctxt "caf" msgid "again" msgstr "second"
msgctxt "euro" msgid "e" msgstr "5 €"
msgctxt "empty" msgid "e" msgstr ""
#~ msgctxt "caf" msgid "old" msgstr "obsolete"
)");
    m.AddEntry("euro", "");
    m.AddEntry("empty", "kept");
    const PoImportResult r = ImportPo(m, dir.File("in.po"));
    EXPECT_EQ(Counts(r), std::make_tuple(1, 2, 5));
    EXPECT_EQ(r.problems,
              (std::vector<std::string>{
                  "key \"gone\": is not in the GXT file",
                  "key \"nandu\": is marked fuzzy",
                  "msgid \"no context\": has no msgctxt naming its key",
                  "key \"caf\": is in the PO file more than once; its first entry was taken",
                  "key \"euro\": the character \"€\" (U+20AC) has no byte in the game font of this GXT file",
              }));
    EXPECT_EQ(m.GetText(1) + "|" + m.GetText(2) + "|" + m.GetText(3) + "|" + m.GetText(4), "Café|¿Ñandú?||kept");
}
