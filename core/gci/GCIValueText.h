// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Value texts: the one reading of what a user gives a property (the value dialog and
// kestrova-cli both go through it), and the thousandths the dialog's slider works in.

#include <cstdint>
#include <string>
#include <string_view>

// The value `typed` stands for as property `iValIdx` holds it in the game's files:
// Turbo, Value and Pad (2 to 4) a whole number ("7"), the others (5 to 21) a number with
// exactly three decimals ("14.500", written after an "f"), each within AllowedRange.
// Blanks around it are dropped and leading zeros go. A sign where the range has no
// negative numbers, an exponent, more than three decimals or anything that is not a
// number throws std::invalid_argument naming the property and what it takes; so do the
// name and the model (0 and 1), which are never written.
std::string CarValueText(int iValIdx, std::string_view typed);

// The text's value times 1000, rounded to a whole number with a half going to the even
// neighbour, worked out on the decimal digits so "1.0015" gives exactly 1002. The result
// is clamped to [lower, upper]; a text that is not a number gives `lower`.
int ThousandthsWithin(std::string_view text, int lower, int upper);

// p / 1000 with at least one digit before the point and exactly three after it, always
// with "." as the point: "1.500", "0.005", "-0.250".
std::string FormatThousandths(int64_t p);

// A limit text as a whole number; 0 when it is not one.
int WholeNumberOf(std::string_view text);
