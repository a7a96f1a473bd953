// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What any file, however damaged, must do to the car reader: load or be refused with a
// message naming it, leaving the previous cars untouched; answer GetVal for every car
// and property it has a line for (GetNumOfLines) and refuse any other with
// std::out_of_range; refuse cars and
// properties outside the counts; and save what it loaded so that loading the saved
// file gives the same cars and values.

#include <span>
#include <string>
#include <vector>

#include "core/gci/clsGCI.h"
#include "core/io/FileIO.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/GCISampleFile.h"
#include "tests/support/TempDir.h"

namespace gcicheck {

constexpr int kProperties = 22;
// A line the car does not have reads as this, so that it can be compared too.
const std::string kMissing = std::string("\0missing", 8);

using Cars = std::vector<std::vector<std::string>>;

inline Cars ReadAll(const clsGCI& model)
{
    const int cars = model.GetNumOfCars();
    Require(cars >= 0, "GetNumOfCars() is " + std::to_string(cars));
    Cars all;
    for (int c = 0; c < cars; ++c) {
        std::vector<std::string> values;
        const int lines = model.GetNumOfLines(c);
        Require(lines >= 1, "car " + std::to_string(c) + " has " + std::to_string(lines) + " lines");
        for (int p = 0; p < kProperties; ++p) {
            if (p < lines)
                values.push_back(model.GetVal(c, p));
            else if (ThrowsOutOfRange([&] { model.GetVal(c, p); }))
                values.push_back(kMissing);
            else
                throw PropertyViolation("car " + std::to_string(c) + " answered line " + std::to_string(p));
        }
        for (int outside : {-1, kProperties})
            Require(ThrowsOutOfRange([&] { model.GetVal(c, outside); }),
                    "property " + std::to_string(outside) + " answered");
        all.push_back(values);
    }
    for (int outside : {-1, cars})
        Require(ThrowsOutOfRange([&] { model.GetVal(outside, 0); }) &&
                    ThrowsOutOfRange([&] { model.GetNumOfLines(outside); }),
                "car " + std::to_string(outside) + " answered outside " + std::to_string(cars) + " cars");
    return all;
}

}  // namespace gcicheck

inline void CheckGciFile(std::span<const uint8_t> input, const std::string& name, const TempDir& scratch)
{
    using namespace gcicheck;
    clsGCI model;
    model.ParseCars(AsBytes(gci_sample::File(2)), "baseline.gci");
    const Cars before = ReadAll(model);

    if (Refusal(name, [&] { model.ParseCars(input, name); })) {
        Require(ReadAll(model) == before, "a refused file changed the cars");
        return;
    }
    const Cars loaded = ReadAll(model);
    if (loaded.empty())
        return;  // nothing to save: a model with no cars writes nothing

    const std::string saved = scratch.File("saved.gci");
    model.SaveCars(saved);
    clsGCI again;
    again.LoadCars(saved);
    Require(ReadAll(again) == loaded, "the saved file does not give back the same cars");
}
