// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every reader of a map file refuses before reading it.

#include "core/io/FileIO.h"

// The game's maps are about 1.3 MB; a map with every column of all 256 x 256 squares
// distinct and full stays below this.
inline constexpr SizeLimit kLargestMapFile{uint64_t{64} << 20, "map file"};
