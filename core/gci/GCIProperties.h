// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 22 car properties: the name the editor shows, the label that ends the property's
// line in a car file we write, and the limits of the values the property takes (the
// decimal properties' limits in thousandths, as the value dialog's slider works in them).

#include <cstdint>
#include <string>
#include <string_view>

constexpr int kNumOfProperties = 22;
// The first property with a decimal value (written "f" and three decimals); those
// before it hold whole numbers.
constexpr int kFirstDecimal = 5;

// iValIdx itself when it is a property index (0 to 21); std::out_of_range otherwise.
int CheckPropertyIndex(int iValIdx);

// Property `iValIdx` (0 to 21); std::out_of_range otherwise.
const std::string& PropertyName(int iValIdx);
// What follows the value on the property's line, its separating blank included; "" for
// the name line.
const std::string& PropertyLabel(int iValIdx);
const std::string& PropertyLowerLimit(int iValIdx);
const std::string& PropertyUpperLimit(int iValIdx);

// The values property `iValIdx` takes, in its own unit (whole numbers, or thousandths
// for the decimal properties), and as the editor words them ("1.000 to 30.000").
struct PropertyRange {
    int64_t lower = 0;
    int64_t upper = 0;
    std::string text;
};
PropertyRange AllowedRange(int iValIdx);

// The property a user names: its name as PropertyName gives it, or its label as a car
// file spells it (the game's own "max_speed" and "skid threshhold" among them), in any
// case, with spaces and underscores alike or left out. std::invalid_argument listing
// the names otherwise.
int PropertyNamed(std::string_view name);
