// SPDX-License-Identifier: GPL-3.0-or-later
// Map blocks and zones: CityMap::Parse on any bytes, then every query, checked by
// CheckCityMapFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_citymap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.gmp", CheckCityMapFile);
}
