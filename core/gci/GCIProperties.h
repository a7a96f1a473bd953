#pragma once
// The 22 car properties: the name the editor shows, the label that ends the property's
// line in a car file, and the value dialog's limits (decimal limits in thousandths).
// The names keep their own wording ("Bais", "Threshhold"); the labels are as the files
// spell them.

#include <string>

constexpr int kNumOfProperties = 22;

// iValIdx itself when it is a property index (0 to 21); std::out_of_range otherwise.
int CheckPropertyIndex(int iValIdx);

// Property `iValIdx` (0 to 21); std::out_of_range otherwise.
const std::string& PropertyName(int iValIdx);
// What follows the value on the property's line, its separating blank included; "" for
// the name line.
const std::string& PropertyLabel(int iValIdx);
const std::string& PropertyLowerLimit(int iValIdx);
const std::string& PropertyUpperLimit(int iValIdx);

// The values property `iValIdx` may be given, as numbers and as the editor words them
// ("1.000 to 30.000"): the decimal properties (5 and up) keep their limits in thousandths.
struct PropertyRange {
    double lower = 0;
    double upper = 0;
    std::string text;
};
PropertyRange AllowedRange(int iValIdx);
