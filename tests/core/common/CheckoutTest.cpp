// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/io/FileIO.h"
#include "tests/support/SourceTree.h"

// The committed inputs are bytes, not text: a checkout that converted line ends (Git for
// Windows does by default) would turn this car file's bare line feeds into CR LF and
// hide the case it stands for.
TEST(Checkout, CommittedInputsKeepTheirBytes)
{
    const auto bytes = ReadWholeFile(Utf8FromPath(SourceTree() / "fuzz" / "corpus" / "gci" / "lf_line_ends.gci"));
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_NE(text.find('\n'), std::string::npos);
    EXPECT_EQ(text.find('\r'), std::string::npos);
}
