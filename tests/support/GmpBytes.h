// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The map file builder under the name the animation reader's fuzz checks and benchmark use.

#include "tests/support/MapBuilder.h"

namespace gmpbytes = map_test;
