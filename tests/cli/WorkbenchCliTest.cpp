// SPDX-License-Identifier: GPL-3.0-or-later
// A translator's commands: the fonts of a font style, the texts a font cannot draw, one
// text drawn as a PNG, and two text files matched by key.

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>

#include "core/io/FileIO.h"
#include "core/sty/FontText.h"
#include "tests/cli/CliFixture.h"

namespace {

// Font 0 five pixels high with blank lower-case letters, font 1 seven high with them.
const std::vector<sty_test::FontSpec> kFonts = {{94, 5, false}, {94, 7, true}};

class Workbench : public Cli {
protected:
    void SetUp() override
    {
        Cli::SetUp();
        TempDir::Write(File("fonts.sty"), sty_test::FontStyle(kFonts, {2, 0, 0, 0, 1}).Build());
        TempDir::Write(File("s.gxt"), gxt_test::FileOf({{"1001", Cells("G!Espa\xADol", 2)},
                                                        {"1002", Cells("Hola #amigo*")},
                                                        {"1003", Cells("\xE1@")},
                                                        {"NEW", Cells("Nuevo")},
                                                        {"1002", Cells("Otro")}}));  // a key's first entry counts
        TempDir::Write(File("e.gxt"), gxt_test::FileOf({{"1001", Cells("G!Good day", 2)},
                                                        {"1002", Cells("Hola #amigo*")},
                                                        {"GONE", Cells("Gone")},
                                                        {"1003", Cells("Hi")},
                                                        {"GONE", Cells("Again")}}));
        TempDir::Write(File("bob_s.gxt"), gxt_test::FileOf({{"MENU", Cells("\xC9xito")}}));
    }

    static QJsonObject Parsed(const char* json) { return QJsonDocument::fromJson(json).object(); }
};

}  // namespace

TEST_F(Workbench, StyFontsGivesEachFontsRange)
{
    EXPECT_EQ(Json("sty fonts fonts.sty"),
              Parsed(R"({"fonts": [{"font": 0, "first": 33, "characters": 94, "height": 5, "firstSprite": 3},
                                   {"font": 1, "first": 33, "characters": 94, "height": 7, "firstSprite": 97}]})"));
    EXPECT_TRUE(Run("sty fonts fonts.sty").out.contains(QRegularExpression("\n1 +33 +94 +7 +97\n")));
    EXPECT_EQ(Json("sty fonts style.sty"), Parsed(R"({"fonts": []})"));
}

TEST_F(Workbench, GxtCheckListsTheTextsWithFindingsAndExitsByWhetherThereAreAny)
{
    const Result found = Run("gxt check s.gxt --style fonts.sty --json");
    EXPECT_EQ(found.status, 1);
    EXPECT_EQ(QJsonDocument::fromJson(found.out.toUtf8()).object(),
              Parsed(R"({"font": 1, "entries": [{"key": "1001", "undrawable": [173], "blank": []},
                                                {"key": "1003", "undrawable": [225], "blank": [64]}]})"));
    EXPECT_TRUE(found.err.contains("2 of 5 texts have letters font 1 cannot show")) << found.err.toStdString();
    EXPECT_TRUE(Run("gxt check s.gxt --style fonts.sty").out.contains("\n1003: cannot draw: 0xE1; blank: @ (0x40)\n"));
    EXPECT_EQ(Json("gxt check e.gxt --style fonts.sty"), Parsed(R"({"font": 1, "entries": []})"));
    EXPECT_TRUE(Run("gxt check e.gxt --style fonts.sty --font 0").out.contains("\n1003: blank: i (0x69)\n"));

    const std::tuple<const char*, int, const char*> refusals[] = {
        {"gxt check s.gxt", 2, "--style STYLE"},
        {"gxt check s.gxt --style fonts.sty --font one", 2, "--font takes a font's number"},
        {"gxt check s.gxt --style fonts.sty --font 2", 1, "fonts.sty: has no font 2 (it has 2, from 0)"},
        {"gxt check s.gxt --style style.sty", 1, "style.sty: has no fonts"},
        {"gxt check bob_s.gxt --style fonts.sty", 1, "bob_s.gxt: holds its texts in Windows-1252"},
        {"gxt render s.gxt 1002 --style fonts.sty", 2, "-o IMAGE.png"},
        {"gxt render s.gxt NOKEY --style fonts.sty -o none.png", 1, "s.gxt: has no key \"NOKEY\""}};
    for (const auto& [command, status, message] : refusals)
        ExpectRefused(command, status, message);
    EXPECT_FALSE(Exists("none.png"));
}

TEST_F(Workbench, GxtRenderWritesTheTextAsTheFontDrawsItAsA32BitPng)
{
    const Result rendered = Run("gxt render s.gxt 1001 --style fonts.sty -o espanol.png");
    ASSERT_EQ(rendered.status, 0) << rendered.err.toStdString();
    EXPECT_TRUE(rendered.out.contains("cannot draw: Ñ (0xAD)\n")) << rendered.out.toStdString();
    const std::string png = Read("espanol.png");
    EXPECT_EQ(png.substr(24, 2), "\x08\x06");  // 8 bits a channel, red, green, blue and alpha

    clsSTY style;
    style.ParseSTY(AsBytes(Read("fonts.sty")), "fonts.sty");
    const DrawnText drawn = GameFont(style, 1).Draw("G!Espa\xADol");
    const QImage image = QImage::fromData(QByteArray::fromStdString(png)).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(drawn.width, drawn.height));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), drawn.pixels[std::size_t(y * drawn.width + x)]) << x << ", " << y;
}

TEST_F(Workbench, GxtDiffSortsTheKeysOfTwoFiles)
{
    EXPECT_EQ(Json("gxt diff s.gxt e.gxt"),
              Parsed(R"({"onlyInA": ["NEW"], "onlyInB": ["GONE"], "same": ["1002"], "different": ["1001", "1003"]})"));
    EXPECT_TRUE(Run("gxt diff s.gxt e.gxt").out.contains("only in e.gxt (1): GONE\n"));
}
