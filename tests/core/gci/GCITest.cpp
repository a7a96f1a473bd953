// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ctime>

#include "core/gci/GCIProperties.h"
#include "core/gci/GCIValueText.h"
#include "core/gci/clsGCI.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

namespace {

clsGCI Parsed(const std::string& bytes, Progress& progress = NoProgress())
{
    clsGCI cars;
    cars.ParseCars(AsBytes(bytes), "in.gci", progress);
    return cars;
}

// The cars as a save writes them, after the banner's empty line.
std::string CarsAsSaved(const clsGCI& cars)
{
    const std::vector<uint8_t> bytes = cars.Serialize();
    const std::string text(bytes.begin(), bytes.end());
    return text.substr(text.find("\r\n\r\n") + 4);
}

}  // namespace

TEST(GCILoad, CarsAreTheBlocksBetweenEmptyLinesAfterTheOpeningCommentAndRefusalsKeepTheCars)
{
    TempDir dir;
    std::string lf = gci_sample::File(3);
    std::erase(lf, '\r');
    const std::string runs = "h\r\n\r\n{A}\r\n1 {Model}\r\n\r\n\r\n{B}\r\n\r\n\r\n\r\n{C}\r\n\r\n\r\n\r\n\r\n{D}\r\n";
    const std::string fourCars = "{A}\r\n1 {Model}\r\n\r\n{B}\r\n\r\n{C}\r\n\r\n{D}\r\n\r\n";
    std::string longCar = gci_sample::CarBlock(1);
    longCar.insert(longCar.size() - 2, "extra one\r\n  extra two  \r\n");
    const std::string body = gci_sample::File(85).substr(gci_sample::kHeader.size());
    // The bytes, the cars read and the cars saved.
    const std::tuple<std::string, std::size_t, std::string> cases[] = {
        {body, 85, body},                                                 // no opening comment: the first car stays
        {"a {comment}\r\n\r\none line\r\n\r\n" + body, 85, body},         // a comment of two blocks, neither a car
        {lf, 3, gci_sample::File(3).substr(gci_sample::kHeader.size())},  // LF read like CR LF, saved CR LF
        {"header\n\n{A}\r\n1 {Model}\n\n{B}\r\n", 2, "{A}\r\n1 {Model}\r\n\r\n{B}\r\n\r\n"},  // mixed
        {runs, 4, fourCars},                             // 2 to 5 empty lines between cars
        {runs.substr(0, runs.size() - 2), 4, fourCars},  // last car without its line break
        {runs + "\r\n  \r\n\r\n \r\n", 4, fourCars},     // blank final blocks
        // A car of two lines and one with two lines past line 21 keep every line.
        {"h\r\n\r\n{Short}\r\n3 {Model}\r\n\r\n" + longCar, 2, "{Short}\r\n3 {Model}\r\n\r\n" + longCar},
    };
    for (const auto& [bytes, count, saved] : cases) {
        RecordingProgress progress;
        clsGCI cars = Parsed(bytes, progress);
        EXPECT_EQ(progress.calls.size(), count + 2);  // one step per car
        EXPECT_EQ(CarsAsSaved(cars), saved) << bytes;
    }

    // Refusals name the file and keep the cars.
    clsGCI cars = Parsed(gci_sample::File(2));
    std::string tooMany = "h\r\n\r\n";  // 32,768 cars do not fit the 16-bit count; one fewer does
    for (int i = 0; i < 32768; ++i)
        tooMany += "{c}\r\n1 {M}\r\n\r\n";
    EXPECT_EQ(Thrown<FileError>([&] { cars.ParseCars(AsBytes(tooMany), "big.gci"); }),
              "big.gci: holds more than the 32767 cars a car file can have");
    // Text without a car block is no car file.
    const std::string readme = "# Kestrova\n\nA tool for {GTA2} files.\nIt edits cars.\n\n    scripts/run.sh\n";
    for (const std::string& text : {std::string(), readme, std::string("int main()\n{\n    return 0;\n}\n"),
                                    std::string("{A}\r\n\r\n{B}\r\n"), std::string("h\r\n\r\n \r\n\r\n\t\r\n")})
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { cars.ParseCars(AsBytes(text), "t.gci"); }),
                     text.empty() ? "t.gci: is not a car file: it is empty"
                                  : "t.gci: is not a car file: none of its blocks is a car (a name line followed by "
                                    "value lines, each with its {label})");
    // Any byte no text file holds refuses the whole file, wherever it stands.
    for (const auto& [at, byte, named] : {std::tuple<std::size_t, char, const char*>{0, '\0', "0x00 at offset 0"},
                                          {40, '\x01', "0x01 at offset 40"},
                                          {100, '\x1A', "0x1A at offset 100"},
                                          {200, '\x7F', "0x7F at offset 200"}}) {
        std::string binary = gci_sample::File(1);
        binary[at] = byte;
        EXPECT_EQ(Thrown<FileError>([&] { cars.ParseCars(AsBytes(binary), "b.gci"); }),
                  std::string("b.gci: is not a car file: it holds the byte ") + named + ", which no text file has");
    }
    EXPECT_EQ(cars.GetVal(1, 0), gci_sample::CarName(1));
    cars.ParseCars(AsBytes("{Caf\xE9}\r\n\t1 {Model}\r\n"), "text.gci");  // tabs and Latin-1 are text
    EXPECT_EQ(cars.GetVal(0, 0), "Caf\xE9");
    cars.ParseCars(AsBytes(tooMany.substr(19)), "big.gci");
    EXPECT_EQ(cars.GetNumOfCars(), 32767);
}

// Kept as a backup as every save keeps the old file: tests/core/io.
TEST(GCISave, WritesTheBannerThenEveryCar)
{
    const std::string cars = gci_sample::CarBlock(5) + "{Mini}\r\n9 {Model}\r\n\r\n";
    clsGCI model = Parsed("old header\r\nsecond line\r\n\r\n" + cars);
    model.SetClock([] {
        std::tm when{};
        when.tm_year = 124, when.tm_mon = 2, when.tm_mday = 4, when.tm_hour = 13, when.tm_min = 5, when.tm_sec = 9;
        return when;
    });
    const std::vector<uint8_t> bytes = model.Serialize();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()),
              "{================================\r\nGenerated By The Kestrova\r\nProgram Used: Kestrova\r\n"
              "Date: 03/04/24 Time: 13:05:09\r\n=================================}\r\n\r\n" +
                  cars);
}

TEST(GCIValues, GetValAndSetValWorkOnTheLinesTheyAddress)
{
    TempDir dir;
    const std::pair<std::string, std::string> lines[] = {
        // Lines 0 to 8 of a car as stored, and what GetVal reads from them.
        {"{Big Truck}", "Big Truck"},
        {"3 {Model}", "3"},
        {"1", "1"},                         // no label
        {"200   {Value}  extra\r", "200"},  // several blanks, and a CR of its own
        {"  ", ""},                         // blanks only
        {"f12.500", "12.500"},              // no label
        {" f0.5 {Front Drive Bias}", ""},   // begins with a blank
        {"f", ""},
        {"f0.250   {brake  FRICTION} old comment", "0.250"},
    };
    std::string text = gci_sample::CarBlock(0);  // the first car; the one above follows it
    for (int i = 0; i < 22; ++i)
        text += (i < 9 ? lines[i].first : gci_sample::CarLines(3)[static_cast<std::size_t>(i)]) + "\r\n";
    clsGCI cars = Parsed(text + "\r\nX\r\n\r\n{Short}\r\n");  // then a car whose name line is too short, and one line
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(cars.GetVal(1, i), lines[i].second) << i;
    EXPECT_EQ(cars.GetVal(2, 0), "");
    EXPECT_EQ(cars.GetNumOfLines(1) + cars.GetNumOfLines(3), 23);
    EXPECT_THROW(cars.GetVal(3, 1), std::out_of_range);  // a line the car does not have
    EXPECT_THROW(cars.SetVal(1, 22, "1"), std::out_of_range);

    // An edit keeps the line's own label; the name, the model and values the game cannot read change nothing.
    const std::string read = cars.GetLine(1, 3);
    for (const auto& [line, value] : {std::pair{2, "0"}, {3, "7"}, {8, "0.3"}, {16, ".4"}})
        cars.SetVal(1, line, value);
    for (const auto& [line, value] : {std::pair{0, "Renamed"}, {1, "9"}, {21, "2 words"}, {5, "1e1"}})
        EXPECT_THROW(cars.SetVal(1, line, value), std::invalid_argument);
    const std::string saved = CarsAsSaved(cars);
    for (const std::string& line :
         std::vector<std::string>{"{Big Truck}\r\n3 {Model}\r\n0 {Turbo}\r\n7 {Value}\r\n  \r\nf12.500\r\n",
                                  "\r\nf0.300 {brake  FRICTION}\r\n", "\r\nf0.400 {Skid Threshold}\r\n",
                                  "\r\n" + gci_sample::CarLines(3)[21] + "\r\n\r\nX\r\n"})
        EXPECT_PRED2(Holds, saved, line);
    // An undone edit puts the line back exactly as it was read.
    cars.PutLine(1, 3, read);
    EXPECT_EQ(cars.GetLine(1, 3), read);
    EXPECT_THROW(cars.PutLine(1, 8, "two\nlines"), std::invalid_argument);
}

TEST(GCIValueText, RefusalsSayWhatThePropertyTakesAndThousandthsRoundHalfToEven)
{
    // The list of typed values is held against the dialog and kestrova-cli, which both go through CarValueText.
    EXPECT_EQ(Thrown<std::invalid_argument>([] { CarValueText(5, "1e1"); }),
              "Mass takes a number with at most three decimals from 1.000 to 30.000, not \"1e1\"");
    EXPECT_EQ(CarValueText(9, " 0.5\t") + CarValueText(4, " -0"), "0.5000");  // blanks around it go
    const std::pair<const char*, int> cases[] = {{"1.5", 1500},     {"0.0005", 0},   {"0.0015", 2}, {"1.0005", 1000},
                                                 {"1.0015", 1002},  // halves a double misses
                                                 {"0.00050001", 1}, {"-0.0015", -2}, {"2e-3", 2},   {"5e-4", 0}};
    for (auto [text, thousandths] : cases)
        EXPECT_EQ(ThousandthsWithin(text, -1000000, 1000000), thousandths) << text;
    // Outside the limits: the nearest limit; not a number: the lower one.
    EXPECT_EQ(ThousandthsWithin("98765432109876543210", 0, 600) + ThousandthsWithin("-1e99999", 0, 600), 600);
    EXPECT_EQ(ThousandthsWithin("fast", 1000, 30000), 1000);
    EXPECT_EQ(FormatThousandths(5) + FormatThousandths(-250), "0.005-0.250");
}

TEST(GCIProperties, TheNamesPrintedAndTheFilesOwnLabelsAreTheNamesTaken)
{
    for (int i = 0; i < kNumOfProperties; ++i)
        EXPECT_EQ(PropertyNamed(PropertyName(i)), i);
    EXPECT_EQ(PropertyName(7) + ", " + PropertyName(16), "Front Mass Bias, Skid Threshold");
    for (const auto& [label, index] :
         {std::pair{"max_speed", 14}, {"skid threshhold", 16}, {"GEAR1_MULTIPLIER", 17}, {"gear2 speed", 20}})
        EXPECT_EQ(PropertyNamed(label), index) << label;
    EXPECT_PRED2(Holds, Thrown<std::invalid_argument>([] { PropertyNamed("Front Mass Bais"); }),
                 "\"Front Mass Bais\" is not a car property; the properties are Name, Model, Turbo, Value, Pad, Mass,");
}
