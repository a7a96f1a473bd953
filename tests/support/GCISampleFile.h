// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Car files made by the tests: a three-line comment header, then one block per car
// (a name line in braces, 4 integer lines, 17 decimal lines of three decimals), each
// followed by an empty line. Values vary per car so a mix-up of cars shows.

#include <string>
#include <vector>

#include "core/gci/GCIProperties.h"

namespace gci_sample {

inline const std::string kHeader = "{------\r\n GTA2 car handling data, made by the Kestrova tests\r\n------}\r\n\r\n";

inline std::string CarName(int car)
{
    static const char* const stems[] = {"ALFA", "BUGGY", "COPCAR", "TAXI", "PICKUP", "BUS", "TANK", "VAN"};
    return std::string(stems[car % 8]) + std::to_string(car);
}

// The value text of property `index` (1 to 21) of car `car`.
inline std::string Value(int car, int index)
{
    if (index <= 4) {
        const int values[5] = {0, car, car % 2, (car * 7) % 256, -1};  // model, turbo, value, pad
        return std::to_string(values[index]);
    }
    const int thousandths = 100 + ((car * 37 + index * 113) % 900);  // 0.100 to 0.999
    return std::to_string(index == 5 ? 1 + car % 9 : 0) + "." + std::to_string(thousandths);
}

// The 22 lines of car `car`, without line breaks, labelled as the game's files are.
inline std::vector<std::string> CarLines(int car)
{
    std::vector<std::string> lines{std::string("{").append(CarName(car)).append("}")};
    for (int i = 1; i < 22; ++i)
        lines.push_back(std::string(i > 4 ? "f" : "").append(Value(car, i)).append(PropertyLabel(i)));
    return lines;
}

inline std::string CarBlock(int car)
{
    std::string block;
    for (const std::string& line : CarLines(car))
        block += line + "\r\n";
    return block + "\r\n";
}

// A value typed for property `row`, and what its line then holds before the label (""
// when it is refused). The core, the value dialog and kestrova-cli are held to this list.
struct TypedValue {
    int row;
    const char* typed;
    const char* held;
};
inline const TypedValue kTypedValues[] = {
    {2, "1", "1"},         {2, "2", ""},      {2, "0.5", ""},        {2, "-0", ""},          {2, "+1", ""},
    {3, "00007", "7"},     {3, "256", ""},    {3, "7.5", ""},        {3, "1e1", ""},         {4, "0", "0"},
    {4, "-12", "-12"},     {4, "x", ""},      {4, "3000000000", ""}, {5, "2.5", "f2.500"},   {5, "007.25", "f7.250"},
    {5, "30", "f30.000"},  {5, "0.999", ""},  {5, "30.001", ""},     {5, "1e1", ""},         {5, "+3", ""},
    {5, "5.0001", ""},     {5, "1,5", ""},    {5, "-2", ""},         {10, ".001", "f0.001"}, {10, "0", ""},
    {20, "0.6", "f0.600"}, {20, "0.601", ""},
};

inline std::string File(int cars)
{
    std::string text = kHeader;
    for (int car = 0; car < cars; ++car)
        text += CarBlock(car);
    return text;
}

}  // namespace gci_sample
