// SPDX-License-Identifier: GPL-3.0-or-later
// Map files: ParseMap on any bytes, then every query, checked by CheckGmpFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_gmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.gmp", CheckGmpFile);
}
