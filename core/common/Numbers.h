// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as messages show them.

#include <cstdint>
#include <string>
#include <string_view>

// With a comma between each group of three digits: "2,147,483,648".
std::string Grouped(uint64_t n);
// "1 file", "1,830 files": a count and its noun, the noun taking an s after any count but 1.
std::string Counted(uint64_t n, std::string_view noun);
