#include <gtest/gtest.h>

#include <stdexcept>

#include "models/gci/GCIProperties.h"
#include "models/gci/GCIValueText.h"
#include "models/gci/clsGCI.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/TempDir.h"

namespace {

// One car made of the given lines, after a header block.
clsGCI OneCar(const TempDir& dir, const std::vector<std::string>& lines)
{
    std::string text = "header\r\n\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    const std::string file = dir.File("one.gci");
    TempDir::Write(file, text + "\r\n");
    clsGCI cars;
    cars.LoadCars(file);
    return cars;
}

}  // namespace

TEST(GCIValues, GetValReadsTheValueOutOfEachKindOfLine)
{
    TempDir dir;
    std::vector<std::string> lines = gci_sample::CarLines(0);
    lines[0] = "{Big Truck}";
    lines[2] = "1";                         // no label
    lines[3] = "200   {Value}  extra";      // several blanks
    lines[4] = "  ";                        // blanks only
    lines[5] = "f12.500";                   // no label
    lines[6] = " f0.5 {Front Drive Bias}";  // begins with a blank
    lines[7] = "f";
    clsGCI cars = OneCar(dir, lines);
    const char* expected[] = {"Big Truck", "0", "1", "200", "", "12.500", "", ""};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(cars.GetVal(0, i), expected[i]) << i;
    EXPECT_EQ(cars.GetVal(0, 21), gci_sample::Value(0, 21));
    EXPECT_EQ(OneCar(dir, {"X"}).GetVal(0, 0), "");  // a name line of one character
}

TEST(GCIValues, SetValRebuildsTheLineWithItsOwnLabel)
{
    TempDir dir;
    std::vector<std::string> lines = gci_sample::CarLines(3);
    lines[8] = "f0.250   {brake  FRICTION} old comment";
    clsGCI cars = OneCar(dir, lines);
    cars.SetVal(0, 0, "Renamed");
    cars.SetVal(0, 1, "99");
    cars.SetVal(0, 2, "1");
    cars.SetVal(0, 5, "1.500");
    cars.SetVal(0, 8, "0.300");
    cars.SetVal(0, 21, "2 words");
    EXPECT_EQ(cars.GetVal(0, 5), "1.500");
    EXPECT_EQ(cars.GetVal(0, 21), "2");

    const std::string file = dir.File("out.gci");
    cars.SaveCars(file);
    const std::string text = TempDir::Read(file);
    for (const char* line : {"\r\n{TAXI3}\r\n3 {Model}\r\n1 {Turbo}\r\n", "\r\nf1.500 {Mass}\r\n",
                             "\r\nf0.300 {Brake Friction}\r\n", "\r\nf2 words {Gear 3 Speed}\r\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
    EXPECT_EQ(text.find("old comment"), std::string::npos);
}

TEST(GCIValues, IndicesOutsideTheModelAreRangeErrors)
{
    TempDir dir;
    clsGCI cars = OneCar(dir, gci_sample::CarLines(0));
    for (auto [car, value] : {std::pair{-1, 2}, {1, 2}, {0, -1}, {0, 22}}) {
        EXPECT_THROW(cars.GetVal(car, value), std::out_of_range) << car << "," << value;
        EXPECT_THROW(cars.SetVal(car, value, "1"), std::out_of_range) << car << "," << value;
    }
    EXPECT_THROW(PropertyText(99), std::out_of_range);
    EXPECT_THROW(PropertyText(166), std::out_of_range);
    EXPECT_EQ(PropertyText(165), "600");
}

TEST(GCIValueText, OnlyWholeTextsAreNumbers)
{
    for (const char* text : {"1.5", "-2", "+3", ".5", "7.", "1e3"})
        EXPECT_TRUE(ParseGCINumber(text).has_value()) << text;
    EXPECT_DOUBLE_EQ(*ParseGCINumber("+1.5e1"), 15.0);
    for (const char* text : {"", " 1", "1 ", "1.5x", "1,5", ".", "-", "1e", "inf", "nan", "0x10", "1e999"})
        EXPECT_FALSE(ParseGCINumber(text).has_value()) << text;
}

TEST(GCIValueText, ThousandthsRoundHalfToEvenOnTheDecimalDigits)
{
    constexpr int lo = -1000000, hi = 1000000;
    const std::pair<const char*, int> cases[] = {
        {"1.5", 1500}, {"0.0005", 0}, {"0.0015", 2}, {"1.0005", 1000}, {"1.0015", 1002},  // halves a double misses
        {"0.00050001", 1}, {"-0.0015", -2}, {"2e-3", 2}, {"5e-4", 0}};
    for (auto [text, thousandths] : cases)
        EXPECT_EQ(ThousandthsWithin(text, lo, hi), thousandths) << text;
    // Outside the limits: the nearest limit; not a number: the lower one.
    EXPECT_EQ(ThousandthsWithin("98765432109876543210", 0, 600), 600);
    EXPECT_EQ(ThousandthsWithin("-1e99999", 0, 600), 0);
    EXPECT_EQ(ThousandthsWithin("fast", 1000, 30000), 1000);

    EXPECT_EQ(FormatThousandths(1500), "1.500");
    EXPECT_EQ(FormatThousandths(5), "0.005");
    EXPECT_EQ(FormatThousandths(-250), "-0.250");
}
