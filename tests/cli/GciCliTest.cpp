// kestrova-cli's car commands: the names it prints are the names it takes, it writes the
// values the value dialog writes and refuses the rest, and a refusal leaves the file as it was.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QRegularExpression>

#include "core/gci/GCIProperties.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/Thrown.h"

namespace {
// A suite of its own: each test file's fixture is a class of its own.
class GciCli : public Cli {};
}  // namespace

TEST_F(GciCli, CarsAreListedAndReadByTheNamesTheListPrintsAndTheFilesLabels)
{
    const QJsonObject cars = Json("gci list cars.gci");
    ASSERT_EQ(cars["cars"].toArray().size(), 3);
    const QJsonArray second = cars["cars"][1]["values"].toArray();
    for (int i = 1; i < 22; ++i)
        EXPECT_EQ(second[i].toString().toStdString(), gci_sample::Value(1, i)) << i;
    EXPECT_EQ(cars["properties"][7].toString() + cars["properties"][16].toString(), "Front Mass BiasSkid Threshold");
    EXPECT_TRUE(Run("gci list cars.gci").out.split('\n')[2].contains(QRegularExpression("^2 +BUGGY1 +1 +1 ")));
    // Names and labels in any case, blanks written as underscores; cars by name or number from 1.
    const std::pair<const char*, int> reads[] = {{"buggy1 mass", 5},       {"3 Turbo", 2},
                                                 {"2 front_mass_bias", 7}, {"2 skid_threshhold", 16},
                                                 {"2 MAX_SPEED", 14},      {"2 gear1_multiplier", 17}};
    for (const auto& [words, property] : reads) {
        const Result r = Run(QStringLiteral("gci get cars.gci ") + words);
        EXPECT_EQ(r.out.toStdString(), gci_sample::Value(words[0] == '3' ? 2 : 1, property) + "\n") << words;
    }
}

TEST_F(GciCli, SetTakesAndRefusesTheValuesTheDialogDoesAndEveryRefusalLeavesTheFile)
{
    TempDir::Write(File("notes.gci"), "# Notes\n\nNothing {here} is a car.\nReally.\n");
    const std::string cars = Read("cars.gci");
    const std::tuple<const char*, int, const char*> refusals[] = {
        {"gci set cars.gci BUGGY1 Model 4", 2, "the Model of a car is not changed by this program"},
        {"gci set cars.gci LIMO Mass 2", 1, "cars.gci: has no car named or numbered \"LIMO\""},
        {"gci get cars.gci 1 Front_Mass_Bais", 2,
         "\"Front_Mass_Bais\" is not a car property; the properties are Name,"},
        {"gci list notes.gci", 1, "notes.gci: is not a car file"},
        {"gci get missing.gci 1 Mass", 1, "missing.gci: cannot be opened"}};
    for (const auto& [command, status, message] : refusals) {
        const Result result = Run(command);
        EXPECT_EQ(result.status, status) << message;
        EXPECT_TRUE(result.err.contains(message)) << result.err.toStdString();
    }
    EXPECT_TRUE(Read("cars.gci") == cars && !Exists("cars.gci.bak"));

    for (const auto& [row, typed, held] : gci_sample::kTypedValues) {
        const std::string before = Read("cars.gci");
        const std::string name = PropertyName(row);
        const QString words = QString::fromStdString(name).replace(' ', '_');
        const Result r = Run(QStringLiteral("gci set cars.gci 1 %1 -- %2").arg(words, typed));
        if (*held)
            EXPECT_TRUE(r.status == 0 &&
                        Holds(Read("cars.gci"), "\r\n" + std::string(held) + PropertyLabel(row) + "\r\n"))
                << typed;
        else
            EXPECT_TRUE(r.status == 2 && r.err.contains(QString::fromStdString(name + " takes a ")) &&
                        Read("cars.gci") == before)
                << typed << ' ' << r.err.toStdString();
    }
}
