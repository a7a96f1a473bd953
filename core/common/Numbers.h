// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Numbers as messages show them.

#include <cstdint>
#include <string>

// With a comma between each group of three digits: "2,147,483,648".
std::string Grouped(uint64_t n);
