// SPDX-License-Identifier: GPL-3.0-or-later
// Car files within bounds: a load holds memory near the file's size (measured by counting
// operator new, tests/support/MemoryMeter.h), and a save the reader would refuse is refused
// before anything is written.

#include <gtest/gtest.h>

#include "core/gci/clsGCI.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/MemoryMeter.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

TEST(GCIMemory, ALoadPeaksWithinFourTimesTheFileAndASaveStaysWithinWhatTheReaderTakes)
{
    // The bound is 4 x the size + 64 MB for files up to 16 MB; here a quarter of the size and a 64th of the constant.
    constexpr std::size_t kSize = 4 << 20;
    const auto repeated = [](std::string unit, std::size_t size) {
        while (unit.size() < size)
            unit += unit;
        return unit.substr(0, size);
    };
    std::string car = gci_sample::CarBlock(0);
    car.resize(car.size() - 2);  // no empty line: the lines after it are the car's too
    TempDir dir;
    for (const auto& [bytes, loads] : {std::pair{repeated("\n", kSize), false},     // line feeds alone: no car file
                                       {repeated("{c}\n1 {M}\n\n", kSize), false},  // far more than 32767 cars
                                       {car + repeated("a\n", kSize - car.size()), true}}) {
        TempDir::Write(dir.File("big.gci"), bytes);
        clsGCI cars;
        const MemoryMeter meter;
        const std::string refusal = Thrown<FileError>([&] { cars.LoadCars(dir.File("big.gci")); });
        EXPECT_EQ(refusal == "<nothing thrown>", loads) << refusal;
        EXPECT_LE(meter.Peak(), 4 * kSize + (1 << 20)) << bytes.substr(0, 12);
    }

    // Within 16 MB with LF line ends, over them once saved with CR LF.
    clsGCI cars;
    cars.ParseCars(AsBytes(car + repeated(std::string(63, 'a') + '\n', (16 << 20) - car.size())), "big.gci");
    const std::string refusal = Thrown<FileError>([&] { cars.SaveCars(dir.File("saved.gci")); });
    EXPECT_PRED2(Holds, refusal, "saved.gci: was not saved: it would be 17");
    EXPECT_PRED2(Holds, refusal, " bytes, more than the 16 MB a car file may have");
    EXPECT_FALSE(std::filesystem::exists(dir.At("saved.gci")));
}
