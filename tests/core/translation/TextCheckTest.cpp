// A text file checked against a font, and matched by key against the file it translates.

#include <gtest/gtest.h>

#include "core/io/FileIO.h"
#include "core/translation/TextCheck.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/StyBuilder.h"

using gxt_test::Cells;

namespace {

clsGXT Texts(const std::vector<gxt_test::Entry>& entries)
{
    clsGXT texts;
    texts.ParseGXT(AsBytes(gxt_test::FileOf(entries)), "s.gxt");
    return texts;
}

std::vector<std::string> Keys(const clsGXT& texts, const std::vector<int32_t>& entries)
{
    std::vector<std::string> keys;
    for (int32_t e : entries)
        keys.push_back(KeyName(texts, e));
    return keys;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(TextCheck, ListsOnlyTheEntriesWithFindingsInFileOrder)
{
    clsSTY style;
    style.ParseSTY(AsBytes(sty_test::FontStyle({{94, 7, true}}, {0, 0, 0, 0, 0}).Build()), "f.sty");
    const clsGXT texts = Texts({{"1001", Cells("G!Buen d\xAD"
                                               "a")},
                                {"1002", Cells("Hola #amigo*")},
                                {"1003", Cells("\xE1@", 2)},
                                {"1004", Cells("n!@")}});
    const std::vector<EntryFindings> found = CheckTexts(texts, GameFont(style, 0));
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].entry, 1);
    EXPECT_EQ(found[0].findings.undrawable, std::vector<uint8_t>{0xAD});
    EXPECT_EQ(KeyName(texts, found[1].entry), "1003");
    EXPECT_EQ(found[1].findings.undrawable, std::vector<uint8_t>{0xE1});
    EXPECT_EQ(found[2].findings.blank, std::vector<uint8_t>{'@'});
}

TEST(TextCheck, ComparingWithTheReferenceSortsEveryKeyOnceByItsFirstEntry)
{
    const clsGXT here = Texts({{"OPEN", Cells("Abrir")},
                               {"SAME", Cells("OK")},
                               {"EXTRA", Cells("Nuevo")},
                               {"OPEN", Cells("Open")},
                               {"CASE", Cells("ok")}});
    const clsGXT reference = Texts({{"CASE", Cells("OK")},
                                    {"MISSING", Cells("Gone")},
                                    {"SAME", Cells("OK")},
                                    {"OPEN", Cells("Open")},
                                    {"SAME", Cells("Other")}});
    const TextComparison compared = CompareTexts(here, reference);
    EXPECT_EQ(Keys(here, compared.onlyHere), Strings{"EXTRA"});
    EXPECT_EQ(Keys(reference, compared.onlyReference), Strings{"MISSING"});
    EXPECT_EQ(Keys(here, compared.same), Strings{"SAME"});
    EXPECT_EQ(Keys(here, compared.different), (Strings{"OPEN", "CASE"}));
}
