// kestrova-cli as a script runs it: on a machine without a display (no platform plugin
// named, DISPLAY empty), on files the tests make.

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include "tests/support/GCISampleFile.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"

namespace {

struct Result {
    int status = -1;
    QString out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        using gxt_test::Cells;
        TempDir::Write(File("cars.gci"), gci_sample::File(3));
        TempDir::Write(File("texts.gxt"), gxt_test::FileOf({{"HELLO", Cells("Hi")}, {"BYE", Cells("n!Go")}}));
        TempDir::Write(File("style.sty"), sty_test::SmallStyle().Build());
        TempDir::Write(File("map.gmp"), map_test::Town() + map_test::Chunk("ANIM", map_test::AnimRecords(3)));
        TempDir::Write(File("damaged.gxt"), std::string("GBLEd\0TKEY", 10) + "cut");
    }

    std::string File(const std::string& name) const { return dir.File(name); }

    Result Run(const QStringList& arguments) const
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.insert(QStringLiteral("DISPLAY"), QString());
        program.setProcessEnvironment(environment);
        program.setWorkingDirectory(QString::fromStdString(dir.Utf8()));
        program.start(QStringLiteral(KESTROVA_CLI), arguments);
        if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit)
            return {};
        return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
                QString::fromUtf8(program.readAllStandardError())};
    }

    QJsonObject Json(const QStringList& arguments) const
    {
        const Result r = Run(arguments + QStringList{QStringLiteral("--json")});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).object();
    }

    TempDir dir;
};

QStringList Words(const char* text)
{
    return QString::fromUtf8(text).split(' ', Qt::SkipEmptyParts);
}

}  // namespace

TEST_F(Cli, InfoTellsEachFormatByItsBytesAndCountsWhatItHolds)
{
    const struct {
        const char* file;
        const char* format;
        std::vector<std::pair<const char*, int>> counts;
    } cases[] = {
        {"cars.gci", "car", {{"cars", 3}}},
        {"texts.gxt", "text", {{"texts", 2}}},
        {"style.sty", "style", {{"tiles", 4}, {"palettes", 64}, {"sprites", 4}}},
        {"map.gmp", "map", {{"zones", 2}, {"animations", 3}}},
    };
    for (const auto& c : cases) {
        const QJsonObject info = Json({QStringLiteral("info"), QString::fromUtf8(c.file)});
        EXPECT_EQ(info[QStringLiteral("format")].toString().toStdString(), c.format);
        EXPECT_EQ(info[QStringLiteral("size")].toInteger(), static_cast<qint64>(TempDir::Read(File(c.file)).size()));
        for (const auto& [name, count] : c.counts)
            EXPECT_EQ(info[QString::fromUtf8(name)].toInt(), count) << c.file << ' ' << name;
        const QString plain = Run({QStringLiteral("info"), QString::fromUtf8(c.file)}).out;
        EXPECT_TRUE(plain.contains(QRegularExpression(QStringLiteral("\nformat: +%1\n").arg(c.format))))
            << plain.toStdString();
    }
    TempDir::Write(File("notes.txt"), "GBSx");
    EXPECT_EQ(Run(Words("info notes.txt")).status, 1);
}

TEST_F(Cli, ReadsCarsTextsAndAnimationsAsTheFilesHoldThem)
{
    const QJsonObject cars = Json(Words("gci list cars.gci"));
    ASSERT_EQ(cars[QStringLiteral("cars")].toArray().size(), 3);
    const QJsonArray second = cars[QStringLiteral("cars")][1][QStringLiteral("values")].toArray();
    for (int i = 1; i < 22; ++i)
        EXPECT_EQ(second[i].toString().toStdString(), gci_sample::Value(1, i)) << i;
    EXPECT_EQ(cars[QStringLiteral("properties")][7].toString(), QStringLiteral("Front Mass Bais"));
    EXPECT_TRUE(Run(Words("gci list cars.gci"))
                    .out.split('\n')[2]
                    .contains(QRegularExpression(QStringLiteral("^2 +BUGGY1 +1 +1 "))));

    const std::pair<const char*, std::string> reads[] = {
        {"gci get cars.gci buggy1 mass", gci_sample::Value(1, 5)},  // a name and a label in any case
        {"gci get cars.gci buggy1 Gear_2_Speed", ""},               // not a label: refused below
        {"gci get cars.gci 3 Turbo", gci_sample::Value(2, 2)},      // a number from 1
        {"gxt get texts.gxt BYE", "n!Go"},
    };
    for (const auto& [command, value] : reads) {
        const Result r = Run(Words(command));
        EXPECT_EQ(r.out.toStdString(), value.empty() ? "" : value + "\n") << command;
        EXPECT_EQ(r.status, value.empty() ? 2 : 0) << command;
    }
    const QJsonArray anims = Json(Words("gmp anims map.gmp"))[QStringLiteral("animations")].toArray();
    ASSERT_EQ(anims.size(), 3);
    EXPECT_EQ(anims[2][QStringLiteral("delay")].toInt(), 2);  // record i: delay i, i % 5 frames of 100 * i + f
    EXPECT_EQ(anims[2][QStringLiteral("tiles")].toArray(), (QJsonArray{200, 201}));
}

TEST_F(Cli, ChangesAreSavedWithABackupAndEveryRefusalLeavesTheFilesAsTheyWere)
{
    const std::string cars = TempDir::Read(File("cars.gci")), texts = TempDir::Read(File("texts.gxt"));
    const struct {
        QStringList arguments;
        int status;
        const char* message;
    } refusals[] = {
        {Words("gci set cars.gci BUGGY1 Model 4"), 2, "the Model of a car is not changed here"},
        {Words("gci set cars.gci BUGGY1 Mass 99"), 2, "99 is outside the range of Mass: 1.000 to 30.000"},
        {Words("gci set cars.gci BUGGY1 Mass fast"), 2, "\"fast\" is not a number"},
        {Words("gci set cars.gci LIMO Mass 2"), 1, "cars.gci: has no car named or numbered \"LIMO\""},
        {Words("gxt set texts.gxt NOKEY x"), 1, "texts.gxt: has no key \"NOKEY\""},
        {Words("gxt set texts.gxt BYE 中"), 2, "the text cannot be stored"},
        {Words("gxt set damaged.gxt BYE x"), 1, "damaged.gxt: Error - No a valid GXT file!"},
        {Words("gci get missing.gci 1 Mass"), 1, "missing.gci: cannot be opened"},
    };
    for (const auto& r : refusals) {
        const Result result = Run(r.arguments);
        EXPECT_EQ(result.status, r.status) << r.message;
        EXPECT_TRUE(result.err.contains(QString::fromUtf8(r.message))) << result.err.toStdString();
    }
    EXPECT_EQ(TempDir::Read(File("cars.gci")) + TempDir::Read(File("texts.gxt")), cars + texts);
    EXPECT_FALSE(std::filesystem::exists(dir.At("cars.gci.bak")) || std::filesystem::exists(dir.At("texts.gxt.bak")));

    EXPECT_EQ(Run(Words("gci set cars.gci 2 Mass 2.5")).status, 0);
    EXPECT_EQ(Run(Words("gxt set texts.gxt HELLO Grüße")).status, 0);
    EXPECT_EQ(Run(Words("gci get cars.gci BUGGY1 Mass")).out + Run(Words("gxt get texts.gxt HELLO")).out,
              QStringLiteral("2.5\nGrüße\n"));
    EXPECT_EQ(TempDir::Read(File("cars.gci.bak")) + TempDir::Read(File("texts.gxt.bak")), cars + texts);
}

#ifdef KESTROVA_HAVE_PO
TEST_F(Cli, ATranslationGoesOutAsPoAndComesBackIntoAnotherFile)
{
    EXPECT_EQ(Run(Words("gxt export-po texts.gxt -o texts.po")).status, 0);
    TempDir::Write(File("other.gxt"),
                   gxt_test::FileOf({{"HELLO", gxt_test::Cells("old")}, {"BYE", gxt_test::Cells("n!Go")}}));
    const Result imported = Run(Words("gxt import-po other.gxt texts.po"));
    EXPECT_EQ(imported.out, QStringLiteral("updated 1, unchanged 1, skipped 0\n"));
    EXPECT_EQ(Run(Words("gxt get other.gxt HELLO")).out, QStringLiteral("Hi\n"));
    EXPECT_TRUE(std::filesystem::exists(dir.At("other.gxt.bak")));
    EXPECT_EQ(Run(Words("gxt export-po texts.gxt")).status, 2);  // no -o
}
#endif

TEST_F(Cli, StyleImagesGoOutAsFilesAndAnEditedOneComesBackIntoItsPixelsOnly)
{
    const Result exported = Run(Words("sty export style.sty out --sprites --palettes"));
    EXPECT_EQ(exported.out, QStringLiteral("wrote 0 tiles, 4 sprites and 64 palettes to out\n"));
    EXPECT_EQ(exported.err, QString());  // no progress line where standard error is no terminal
    EXPECT_TRUE(std::filesystem::exists(dir.At("out/Pal063.pal")) &&
                !std::filesystem::exists(dir.At("out/Tile0000.png")));
    EXPECT_EQ(Run(Words("sty export style.sty out --sprites")).status, 1);  // nothing replaced unasked
    QImage disc(QString::fromStdString(File("out/Sprite0003.png")));
    ASSERT_EQ(disc.format(), QImage::Format_Indexed8);
    disc.setPixel(20, 20, 41);  // the centre, index 40 in the style
    ASSERT_TRUE(disc.save(QString::fromStdString(File("edited.png"))));

    const std::string before = TempDir::Read(File("style.sty"));
    const Result wrongSize = Run(Words("sty replace style.sty --sprite 0 edited.png"));
    EXPECT_EQ(wrongSize.status, 1);
    EXPECT_TRUE(wrongSize.err.contains(QStringLiteral("edited.png: is 40 x 40 pixels, but sprite 0 is 5 x 3")));
    EXPECT_EQ(TempDir::Read(File("style.sty")), before);
    EXPECT_EQ(Run(Words("sty replace style.sty --sprite 3 edited.png")).status, 0);
    std::string after = before;
    after[before.size() - 64 * 256 + 24 * 256 + 148] = 41;  // sprite 3's centre; SPRG ends the file
    EXPECT_TRUE(TempDir::Read(File("style.sty")) == after);
    EXPECT_EQ(TempDir::Read(File("style.sty.bak")), before);
}

TEST_F(Cli, WrongArgumentsGetTheUsageAndStatus2AndHelpAndVersionAnswerEverywhere)
{
    for (const char* command :
         {"", "gci", "gci frobnicate cars.gci", "gci get cars.gci 1", "info --bogus cars.gci",
          "info cars.gci texts.gxt", "sty replace style.sty x.png", "sty export style.sty out --format gif"}) {
        const Result r = Run(Words(command));
        EXPECT_EQ(r.status, 2) << command;
        EXPECT_TRUE(r.err.contains(QStringLiteral("Usage: kestrova-cli"))) << command;
        EXPECT_TRUE(r.out.isEmpty()) << command;
    }
    for (const char* command : {"--help", "gci set --help", "gmp anims -h"}) {
        const Result r = Run(Words(command));
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_TRUE(r.out.startsWith(QStringLiteral("Usage: kestrova-cli"))) << command;
    }
    for (const char* command : {"--version", "gxt get --version"})
        EXPECT_TRUE(Run(Words(command)).out.startsWith(QStringLiteral("kestrova-cli 1."))) << command;
}
