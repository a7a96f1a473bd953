// SPDX-License-Identifier: GPL-3.0-or-later
// Images for a tile or sprite: ReadIndices on any bytes, then the indices it gave written
// and read again, checked by CheckImageFile.

#include <cstddef>
#include <cstdint>

#include "fuzz/check_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    return FuzzOneInput(data, size, "input.img", CheckImageFile);
}
