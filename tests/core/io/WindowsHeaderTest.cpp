// SPDX-License-Identifier: GPL-3.0-or-later
// The file layer's names must not collide with the macros of <windows.h> (which maps,
// for one, ReplaceFile to ReplaceFileW): a program that includes it first still
// compiles, links and calls our functions.
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include "core/io/FileIO.h"
#include "tests/support/TempDir.h"

TEST(FileIO, NamesSurviveTheWindowsHeader)
{
    TempDir dir;
    const std::string file = dir.File("names.bin");
    ReplaceWholeFile(file, AsBytes("new"));
    SaveWithBackup(file, AsBytes("newer"));
    EXPECT_EQ(TempDir::Read(file), "newer");
}
