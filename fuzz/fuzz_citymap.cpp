// Map blocks and zones: CityMap::Load on any bytes, then every query, checked by
// CheckCityMapFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_citymap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneFile(data, size, "input.gmp", CheckCityMapFile);
}
