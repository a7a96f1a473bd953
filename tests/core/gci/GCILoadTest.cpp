#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

#include "models/gci/clsGCI.h"
#include "models/io/FileError.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/TempDir.h"

namespace {

clsGCI Loaded(const TempDir& dir, const std::string& bytes)
{
    const std::string file = dir.File("in.gci");
    TempDir::Write(file, bytes);
    clsGCI cars;
    cars.LoadCars(file);
    return cars;
}

// The cars line for line: a save writes them unchanged after its banner's empty line.
std::string CarsAsSaved(clsGCI& cars, const TempDir& dir)
{
    const std::string file = dir.File("out.gci");
    std::filesystem::remove(file);
    cars.SaveCars(file);
    const std::string text = TempDir::Read(file);
    const std::size_t body = text.find("\r\n\r\n");
    return body == std::string::npos ? std::string("<no file>") : text.substr(body + 4);
}

}  // namespace

TEST(GCILoad, RealisticFileYieldsEveryCarInOrderWithOneProgressStepPerCar)
{
    TempDir dir;
    RecordingProgress progress;
    // The header is a car in shape, but stands where the header goes.
    clsGCI cars = Loaded(dir, gci_sample::CarBlock(99) + gci_sample::File(85).substr(gci_sample::kHeader.size()));
    ASSERT_EQ(cars.GetNumOfCars(), 85);
    EXPECT_EQ(cars.GetVal(0, 0), "ALFA0");
    EXPECT_EQ(cars.GetVal(84, 3), gci_sample::Value(84, 3));
    EXPECT_EQ(cars.GetVal(42, 21), gci_sample::Value(42, 21));
    ASSERT_EQ(progress.calls.size(), 87u);
    EXPECT_EQ(progress.calls.front(), (RecordingProgress::Call{'S', 1, 85, "Loading..."}));
    EXPECT_EQ(progress.calls[85], (RecordingProgress::Call{'U', 85, 0, "Loading..."}));
    EXPECT_EQ(progress.calls.back().kind, 'H');
}

TEST(GCILoad, LfLineEndsReadLikeCrLf)
{
    TempDir dir;
    std::string lf = gci_sample::File(3);
    std::erase(lf, '\r');
    clsGCI unix = Loaded(dir, lf);
    ASSERT_EQ(unix.GetNumOfCars(), 3);
    EXPECT_EQ(unix.GetVal(2, 21), gci_sample::Value(2, 21));
    clsGCI windows = Loaded(dir, gci_sample::File(3));
    EXPECT_EQ(CarsAsSaved(unix, dir), CarsAsSaved(windows, dir));  // written with CR LF

    clsGCI mixed = Loaded(dir, "header\n\n{A}\r\n1 {Model}\n\n{B}\r\n");
    EXPECT_EQ(CarsAsSaved(mixed, dir), "{A}\r\n1 {Model}\r\n\r\n{B}\r\n\r\n");
}

TEST(GCILoad, FilesWithoutCarsLoadAsNoCarsAndShowNoProgress)
{
    TempDir dir;
    RecordingProgress progress;
    for (const std::string& bytes : {std::string(), std::string("just a header\r\nno empty line\r\n"),
                                     std::string("header\r\n\r\n\r\n \r\n\r\n\t\r\n")}) {
        clsGCI cars = Loaded(dir, bytes);
        EXPECT_EQ(cars.GetNumOfCars(), 0) << bytes;
        EXPECT_THROW(cars.GetVal(0, 0), std::out_of_range);
    }
    EXPECT_TRUE(progress.calls.empty());
}

TEST(GCILoad, EveryBlockWithTextIsACarTheLastOneToo)
{
    TempDir dir;
    // Two, three and four empty lines between cars; the last car has no empty line after it.
    const std::string runs = "h\r\n\r\n{A}\r\n\r\n\r\n{B}\r\n\r\n\r\n\r\n{C}\r\n\r\n\r\n\r\n\r\n{D}\r\n";
    const std::string expected = "{A}\r\n\r\n{B}\r\n\r\n{C}\r\n\r\n{D}\r\n\r\n";
    for (const std::string& bytes : {runs, runs.substr(0, runs.size() - 2), runs + "\r\n  \r\n\r\n \r\n"}) {
        clsGCI cars = Loaded(dir, bytes);
        ASSERT_EQ(cars.GetNumOfCars(), 4);
        EXPECT_EQ(CarsAsSaved(cars, dir), expected);  // nothing lost at the next save
    }
}

TEST(GCILoad, CarsKeepEveryLineTheyHave)
{
    TempDir dir;
    // A car of two lines, and one with two lines past line 21.
    std::string longCar = gci_sample::CarBlock(1);
    longCar.insert(longCar.size() - 2, "extra one\r\n  extra two  \r\n");
    clsGCI cars = Loaded(dir, "h\r\n\r\n{Short}\r\n3 {Model}\r\n\r\n" + longCar);
    ASSERT_EQ(cars.GetNumOfCars(), 2);
    EXPECT_EQ(cars.GetVal(0, 1), "3");
    EXPECT_THROW(cars.GetVal(0, 2), std::out_of_range);
    EXPECT_THROW(cars.SetVal(0, 21, "1.000"), std::out_of_range);
    EXPECT_EQ(CarsAsSaved(cars, dir), "{Short}\r\n3 {Model}\r\n\r\n" + longCar);
}

TEST(GCILoad, RefusedFilesLeaveTheModelAsItWas)
{
    TempDir dir;
    clsGCI cars = Loaded(dir, gci_sample::File(2));
    const std::string missing = dir.File("missing.gci");
    try {
        cars.LoadCars(missing);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.File(), missing);
    }
    EXPECT_THROW(cars.LoadCars(dir.Path().string()), FileError);  // a folder

    // 32,768 one-line cars do not fit the 16-bit count; one fewer does.
    std::string tooMany = "h\r\n\r\n";
    for (int i = 0; i < 32768; ++i)
        tooMany += "{c}\r\n\r\n";
    const std::string big = dir.File("big.gci");
    TempDir::Write(big, tooMany);
    try {
        cars.LoadCars(big);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(big + ": holds 32768 cars"), std::string::npos) << e.what();
    }
    ASSERT_EQ(cars.GetNumOfCars(), 2);
    EXPECT_EQ(cars.GetVal(1, 0), gci_sample::CarName(1));
    TempDir::Write(big, tooMany.substr(7));
    cars.LoadCars(big);
    EXPECT_EQ(cars.GetNumOfCars(), 32767);
}
