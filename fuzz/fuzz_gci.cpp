// SPDX-License-Identifier: GPL-3.0-or-later
// Car files: ParseCars on any bytes, then every value, a save and a reload, checked by
// CheckGciFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_gci.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.gci", CheckGciFile);
}
