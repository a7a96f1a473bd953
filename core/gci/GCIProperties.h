#pragma once
// The 22 car properties as the editor shows them: display names and the dialog's limits,
// held as numbered texts. Property i has its name under key 100 + i, its lower limit
// under 122 + i and its upper limit under 144 + i. Decimal limits are in thousandths.

#include <string>

constexpr int kNumOfProperties = 22;
constexpr int kPropertyNameKey = 100;
constexpr int kLowerLimitKey = 122;
constexpr int kUpperLimitKey = 144;

// The text stored under `key`; std::out_of_range for a key the table does not hold.
const std::string& PropertyText(int key);

// iValIdx itself when it is a property index (0 to 21); std::out_of_range otherwise.
int CheckPropertyIndex(int iValIdx);

// Shorthands for property `iValIdx` (0 to 21); std::out_of_range otherwise.
const std::string& PropertyName(int iValIdx);
const std::string& PropertyLowerLimit(int iValIdx);
const std::string& PropertyUpperLimit(int iValIdx);
