// SPDX-License-Identifier: GPL-3.0-or-later
// Text files: ParseGXT on any bytes, then every entry, a save and a reload, checked by
// CheckGxtFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_gxt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.gxt", CheckGxtFile);
}
