// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The palette half of the export: a physical palette as a JASC-PAL text file.

#include <string>

#include "core/sty/clsSTY.h"

// "JASC-PAL", "0100", "256", then one "red green blue" line per colour, each line
// ended by CR LF. Throws std::out_of_range for a palette that was not loaded.
std::string JascPalText(const clsSTY& sty, int Pal);

// Replaces sFile completely with the palette's JASC-PAL text. Throws FileError when
// the file cannot be written.
void SavePal(const std::string& sFile, const clsSTY& sty, int Pal);
