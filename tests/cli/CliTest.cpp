// SPDX-License-Identifier: GPL-3.0-or-later
// kestrova-cli as a script runs it: on a machine without a display (no platform plugin
// named, DISPLAY empty), on files the tests make: reading, refusals, edits and exports
// across the formats.

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "tests/cli/CliFixture.h"

TEST_F(Cli, InfoTellsEachFormatByItsBytesAndCountsWhatItHolds)
{
    const std::tuple<const char*, const char*, std::vector<std::pair<const char*, int>>> cases[] = {
        {"cars.gci", "car", {{"cars", 3}}},
        {"texts.gxt", "text", {{"texts", 2}}},
        {"style.sty", "style", {{"tiles", 4}, {"palettes", 64}, {"sprites", 4}}},
        {"map.gmp", "map", {{"zones", 2}, {"animations", 3}}}};
    for (const auto& [file, format, counts] : cases) {
        const QJsonObject info = Json("info " + QString(file));
        EXPECT_EQ(info["format"].toString().toStdString(), format);
        EXPECT_EQ(info["size"].toInteger(), static_cast<qint64>(Read(file).size()));
        for (const auto& [name, count] : counts)
            EXPECT_EQ(info[name].toInt(), count) << file << ' ' << name;
        const QString plain = Run("info " + QString(file)).out;
        EXPECT_TRUE(plain.contains(QRegularExpression(QString("\nformat: +%1\n").arg(format)))) << plain.toStdString();
    }
    TempDir::Write(File("notes.txt"), "GBSx");
    EXPECT_EQ(Run("info notes.txt").status, 1);
}

TEST_F(Cli, ReadsCarsTextsAndAnimationsAsTheFilesHoldThem)
{
    const QJsonObject cars = Json("gci list cars.gci");
    ASSERT_EQ(cars["cars"].toArray().size(), 3);
    const QJsonArray second = cars["cars"][1]["values"].toArray();
    for (int i = 1; i < 22; ++i)
        EXPECT_EQ(second[i].toString().toStdString(), gci_sample::Value(1, i)) << i;
    EXPECT_TRUE(Run("gci list cars.gci").out.split('\n')[2].contains(QRegularExpression("^2 +BUGGY1 +1 +1 ")));

    // A name and a label in any case; a number from 1.
    EXPECT_EQ(Out("gci get cars.gci buggy1 mass") + Out("gci get cars.gci 3 Turbo") + Out("gxt get texts.gxt BYE"),
              gci_sample::Value(1, 5) + "\n" + gci_sample::Value(2, 2) + "\nn!Go\n");
    const QJsonArray anims = Json("gmp anims map.gmp")["animations"].toArray();
    ASSERT_EQ(anims.size(), 3);
    EXPECT_EQ(anims[2]["delay"].toInt(), 2);  // record i: delay i, i % 5 frames of 100 * i + f
    EXPECT_EQ(anims[2]["tiles"].toArray(), (QJsonArray{200, 201}));
}

TEST_F(Cli, ChangesAreSavedWithABackupAndEveryRefusalLeavesTheFilesAsTheyWere)
{
    const std::string cars = Read("cars.gci"), texts = Read("texts.gxt");
    const std::tuple<const char*, int, const char*> refusals[] = {
        {"gci set cars.gci LIMO Mass 2", 1, "cars.gci: has no car named or numbered \"LIMO\""},
        {"gxt set texts.gxt NOKEY x", 1, "texts.gxt: has no key \"NOKEY\""},
        {"gxt set texts.gxt BYE 中", 2, "the text cannot be stored"},
        {"gxt set damaged.gxt BYE x", 1, "damaged.gxt: Error - No a valid GXT file!"},
        {"gci get missing.gci 1 Mass", 1, "missing.gci: cannot be opened"}};
    for (const auto& [command, status, message] : refusals)
        ExpectRefused(command, status, message);
    EXPECT_EQ(Read("cars.gci") + Read("texts.gxt"), cars + texts);
    EXPECT_FALSE(Exists("cars.gci.bak") || Exists("texts.gxt.bak"));

    EXPECT_EQ(Out("gci set cars.gci 2 Mass 2.500") + Out("gxt set texts.gxt HELLO Grüße"), "");
    EXPECT_EQ(Out("gci get cars.gci BUGGY1 Mass") + Out("gxt get texts.gxt HELLO"), "2.500\nGrüße\n");
    EXPECT_EQ(Read("cars.gci.bak") + Read("texts.gxt.bak"), cars + texts);
}

#ifdef KESTROVA_HAVE_PO
TEST_F(Cli, ATranslationGoesOutAsPoAndComesBackIntoAnotherFile)
{
    TempDir::Write(File("other.gxt"), gxt_test::FileOf({{"HELLO", Cells("old")}, {"BYE", Cells("n!Go")}}));
    EXPECT_EQ(Out("gxt export-po texts.gxt -o texts.po"), "");
    EXPECT_EQ(Out("gxt import-po other.gxt texts.po"), "updated 1, unchanged 1, skipped 0\n");
    EXPECT_EQ(Out("gxt get other.gxt HELLO"), "Hi\n");
    EXPECT_TRUE(Exists("other.gxt.bak"));
    EXPECT_EQ(Run("gxt export-po texts.gxt").status, 2);  // no -o
}
#endif

TEST_F(Cli, StyleImagesGoOutAsFilesAndAnEditedOneComesBackIntoItsPixelsOnly)
{
    const Result exported = Run("sty export style.sty out --sprites --palettes");
    EXPECT_EQ(exported.out, "wrote 0 tiles, 4 sprites and 64 palettes to out\n");
    EXPECT_EQ(exported.err, QString());  // no progress line where standard error is no terminal
    EXPECT_TRUE(Exists("out/Pal063.pal") && !Exists("out/Tile0000.png"));
    EXPECT_EQ(Run("sty export style.sty out --sprites").status, 1);  // nothing replaced unasked
    QImage disc(QString::fromStdString(File("out/Sprite0003.png")));
    ASSERT_EQ(disc.format(), QImage::Format_Indexed8);
    disc.setPixel(20, 20, 41);  // the centre, index 40 in the style
    ASSERT_TRUE(disc.save(QString::fromStdString(File("edited.png"))));

    const std::string before = Read("style.sty");
    ExpectRefused("sty replace style.sty --sprite 0 edited.png", 1,
                  "edited.png: is 40 x 40 pixels, but sprite 0 is 5 x 3");
    EXPECT_EQ(Read("style.sty"), before);
    EXPECT_EQ(Out("sty replace style.sty --sprite 3 edited.png"), "");
    std::string after = before;
    after[before.size() - 64 * 256 + 24 * 256 + 148] = 41;  // sprite 3's centre; SPRG ends the file
    EXPECT_TRUE(Read("style.sty") == after);
    EXPECT_EQ(Read("style.sty.bak"), before);
}

TEST_F(Cli, WrongArgumentsGetTheUsageAndStatus2AndHelpAndVersionAnswerEverywhere)
{
    for (const char* command :
         {"", "gci", "gci frobnicate cars.gci", "gci get cars.gci 1", "info --bogus cars.gci",
          "info cars.gci texts.gxt", "sty replace style.sty x.png", "sty export style.sty out --format gif"}) {
        const Result r = Run(command);
        EXPECT_TRUE(r.status == 2 && r.err.contains("Usage: kestrova-cli") && r.out.isEmpty()) << command;
    }
    for (const char* command : {"--help", "gci set --help", "gmp anims -h"}) {
        const Result r = Run(command);
        EXPECT_TRUE(r.status == 0 && r.out.startsWith("Usage: kestrova-cli")) << command;
    }
    for (const char* command : {"--version", "gxt get --version"})
        EXPECT_TRUE(Run(command).out.startsWith("kestrova-cli 1.")) << command;
}
