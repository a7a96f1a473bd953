// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

namespace bench {

// Opens `path` in the style viewer, as a user would, and prints the resident memory
// before and after. Returns the process's exit code.
int OpenStyleAndReport(const std::string& path);

}  // namespace bench
