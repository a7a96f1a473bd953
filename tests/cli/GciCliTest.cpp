// SPDX-License-Identifier: GPL-3.0-or-later
// kestrova-cli's car commands: the names it prints are the names it takes, it writes the
// values the value dialog writes and refuses the rest, and a refusal leaves the file as it was.

#include <gtest/gtest.h>

#include "core/gci/GCIProperties.h"
#include "tests/cli/CliFixture.h"
#include "tests/support/Thrown.h"

namespace {
// A suite of its own: each test file's fixture is a class of its own.
class GciCli : public Cli {};
}  // namespace

TEST_F(GciCli, TakesTheValuesTheDialogTakesUnderTheNamesItPrints)
{
    TempDir::Write(File("notes.gci"), "# Notes\n\nNothing {here} is a car.\nReally.\n");
    const std::string cars = Read("cars.gci");
    for (const auto& [command, status, message] : std::initializer_list<std::tuple<const char*, int, const char*>>{
             {"gci set cars.gci BUGGY1 Model 4", 2, "the Model of a car is not changed by this program"},
             {"gci get cars.gci 1 Front_Mass_Bais", 2, "\"Front_Mass_Bais\" is not a car property; the properties are"},
             {"gci list notes.gci", 1, "notes.gci: is not a car file: none of its blocks is a car"}})
        ExpectRefused(command, status, message);
    EXPECT_TRUE(Read("cars.gci") == cars && !Exists("cars.gci.bak"));

    // Each property by its printed name, blanks as underscores (the fixture splits the command at blanks).
    for (const auto& [row, typed, held] : gci_sample::kTypedValues) {
        const std::string before = Read("cars.gci"), name = PropertyName(row);
        const QString words = QString::fromStdString(name).replace(' ', '_');
        const Result r = Run(QStringLiteral("gci set cars.gci 1 %1 %2").arg(words, typed));  // "-12" is no option
        if (*held)
            EXPECT_TRUE(r.status == 0 && Holds(Read("cars.gci"), "\r\n" + std::string(held) + PropertyLabel(row)) &&
                        Read("cars.gci.bak") == before)
                << typed;
        else
            EXPECT_TRUE(r.status == 2 && r.err.contains(QString::fromStdString(name + " takes a ")) &&
                        Read("cars.gci") == before)
                << typed << ' ' << r.err.toStdString();
    }
}
