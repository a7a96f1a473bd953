#include <gtest/gtest.h>

#include <stdexcept>

#include "models/gci/GCIProperties.h"
#include "models/gci/GCIValueText.h"
#include "models/gci/clsGCI.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/TempDir.h"

namespace {

// One car whose lines are given one by one (a header block comes first).
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
    lines[0] = "{Big Truck}";             // a name may hold blanks
    lines[2] = "1";                       // integer line without label
    lines[3] = "200   {Value}  extra";    // several blanks
    lines[4] = "  ";                      // blanks only: no value
    lines[5] = "f12.500";                 // decimal line without label
    lines[6] = " f0.5 {Front Drive Bias}";  // begins with a blank: no value
    lines[7] = "f";                       // the letter alone
    clsGCI cars = OneCar(dir, lines);
    EXPECT_EQ(cars.GetVal(0, 0), "Big Truck");
    EXPECT_EQ(cars.GetVal(0, 1), "0");
    EXPECT_EQ(cars.GetVal(0, 2), "1");
    EXPECT_EQ(cars.GetVal(0, 3), "200");
    EXPECT_EQ(cars.GetVal(0, 4), "");
    EXPECT_EQ(cars.GetVal(0, 5), "12.500");
    EXPECT_EQ(cars.GetVal(0, 6), "");
    EXPECT_EQ(cars.GetVal(0, 7), "");
    EXPECT_EQ(cars.GetVal(0, 21), gci_sample::Value(0, 21));

    clsGCI tiny = OneCar(dir, {"X"});  // a name line of one character
    EXPECT_EQ(tiny.GetVal(0, 0), "");
}

TEST(GCIValues, SetValRebuildsTheLineWithItsOwnLabel)
{
    TempDir dir;
    std::vector<std::string> lines = gci_sample::CarLines(3);
    lines[8] = "f0.250   {brake  FRICTION} old comment";
    clsGCI cars = OneCar(dir, lines);

    cars.SetVal(0, 0, "Renamed");
    cars.SetVal(0, 1, "99");
    EXPECT_EQ(cars.GetVal(0, 0), gci_sample::CarName(3));
    EXPECT_EQ(cars.GetVal(0, 1), "3");

    cars.SetVal(0, 2, "1");
    cars.SetVal(0, 5, "1.500");
    cars.SetVal(0, 8, "0.300");
    cars.SetVal(0, 21, "2 words");
    EXPECT_EQ(cars.GetVal(0, 2), "1");
    EXPECT_EQ(cars.GetVal(0, 5), "1.500");
    EXPECT_EQ(cars.GetVal(0, 21), "2");

    const std::string file = dir.File("out.gci");
    cars.SaveCars(file);
    const std::string text = TempDir::Read(file);
    for (const char* line : {"\r\n1 {Turbo}\r\n", "\r\nf1.500 {Mass}\r\n", "\r\nf0.300 {Brake Friction}\r\n",
                             "\r\nf2 words {Gear 3 Speed}\r\n", "\r\n{TAXI3}\r\n3 {Model}\r\n"})
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
    clsGCI empty;
    EXPECT_THROW(empty.GetVal(0, 0), std::out_of_range);
}

TEST(GCIProperties, TableKeepsItsTextsUnderTheirNumbers)
{
    EXPECT_EQ(PropertyText(100), "Name");
    EXPECT_EQ(PropertyText(107), "Front Mass Bais");
    EXPECT_EQ(PropertyText(116), "Skid Threshhold");
    EXPECT_EQ(PropertyText(121), "Gear 3 Speed");
    EXPECT_EQ(PropertyText(126), "-1");  // Pad, lower
    EXPECT_EQ(PropertyText(149), "30000");
    EXPECT_EQ(PropertyName(5), "Mass");
    EXPECT_EQ(PropertyLowerLimit(10), "1");
    EXPECT_EQ(PropertyUpperLimit(15), "10000");
    EXPECT_EQ(PropertyUpperLimit(21), "600");
    EXPECT_THROW(PropertyText(99), std::out_of_range);
    EXPECT_THROW(PropertyText(166), std::out_of_range);
    EXPECT_THROW(PropertyName(22), std::out_of_range);
}

TEST(GCIValueText, OnlyWholeNumbersAreNumbers)
{
    for (const char* text : {"1.5", "-2", "+3", ".5", "7.", "1e3", "0.000", "-1"})
        EXPECT_TRUE(ParseGCINumber(text).has_value()) << text;
    EXPECT_DOUBLE_EQ(*ParseGCINumber("-0.25"), -0.25);
    EXPECT_DOUBLE_EQ(*ParseGCINumber("+1.5e1"), 15.0);
    for (const char* text : {"", " 1", "1 ", "1.5x", "1,5", ".", "-", "e5", "1e", "1e+", "inf", "nan", "0x10", "1..2",
                             "--1", "1e999"})
        EXPECT_FALSE(ParseGCINumber(text).has_value()) << text;
}

TEST(GCIValueText, ThousandthsRoundHalfToEvenOnTheDecimalDigits)
{
    constexpr int lo = -1000000, hi = 1000000;
    EXPECT_EQ(ThousandthsWithin("1.5", lo, hi), 1500);
    EXPECT_EQ(ThousandthsWithin("0.0005", lo, hi), 0);
    EXPECT_EQ(ThousandthsWithin("0.0015", lo, hi), 2);
    EXPECT_EQ(ThousandthsWithin("1.0005", lo, hi), 1000);  // a double would not hold these halves
    EXPECT_EQ(ThousandthsWithin("1.0015", lo, hi), 1002);
    EXPECT_EQ(ThousandthsWithin("0.00050001", lo, hi), 1);
    EXPECT_EQ(ThousandthsWithin("-0.0015", lo, hi), -2);
    EXPECT_EQ(ThousandthsWithin("2e-3", lo, hi), 2);
    EXPECT_EQ(ThousandthsWithin("5e-4", lo, hi), 0);
    EXPECT_EQ(ThousandthsWithin("12", lo, hi), 12000);

    // Outside the limits: the nearest limit; not a number: the lower one.
    EXPECT_EQ(ThousandthsWithin("0.5", 1000, 30000), 1000);
    EXPECT_EQ(ThousandthsWithin("31", 1000, 30000), 30000);
    EXPECT_EQ(ThousandthsWithin("98765432109876543210", 0, 600), 600);
    EXPECT_EQ(ThousandthsWithin("1e99999", 0, 600), 600);
    EXPECT_EQ(ThousandthsWithin("-1e99999", 0, 600), 0);
    EXPECT_EQ(ThousandthsWithin("fast", 1000, 30000), 1000);
}

TEST(GCIValueText, FormatsThousandthsWithAPointAndThreeDecimals)
{
    EXPECT_EQ(FormatThousandths(1500), "1.500");
    EXPECT_EQ(FormatThousandths(5), "0.005");
    EXPECT_EQ(FormatThousandths(0), "0.000");
    EXPECT_EQ(FormatThousandths(-250), "-0.250");
    EXPECT_EQ(FormatThousandths(30000), "30.000");
    EXPECT_EQ(WholeNumberOf("-1"), -1);
    EXPECT_EQ(WholeNumberOf("30000"), 30000);
    EXPECT_EQ(WholeNumberOf("3x"), 0);
}
