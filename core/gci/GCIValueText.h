#pragma once
// Value texts as numbers: the strict reading the editor applies to an answer, and the
// thousandths the value dialog's slider works in.

#include <optional>
#include <string>
#include <string_view>

// The number the whole text stands for: an optional sign, digits with at most one "."
// (digits on at least one side of it) and an optional exponent. Nothing else, not even
// a blank, may stand around it; "1.5x", "", "." and "inf" are not numbers.
std::optional<double> ParseGCINumber(std::string_view text);

// The text's value times 1000, rounded to a whole number with a half going to the even
// neighbour, worked out on the decimal digits so "1.0015" gives exactly 1002. The result
// is clamped to [lower, upper]; a text that is not a number gives `lower`.
int ThousandthsWithin(std::string_view text, int lower, int upper);

// p / 1000 with at least one digit before the point and exactly three after it, always
// with "." as the point: "1.500", "0.005", "-0.250".
std::string FormatThousandths(int p);

// A limit text as a whole number; 0 when it is not one.
int WholeNumberOf(std::string_view text);
