// SPDX-License-Identifier: GPL-3.0-or-later
// Style files: ParseSTY on any bytes, then every tile and sprite drawn and the first of
// each exported, checked by CheckStyFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_sty.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.sty", CheckStyFile);
}
