// SPDX-License-Identifier: GPL-3.0-or-later
// What a save promises about names it does not own: links, folders, read-only files.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/io/SystemFile.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

// The promises are POSIX ones (Windows limits whole paths, not names, and its folders
// are locked by access lists): the tests run where they hold.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

TEST(SaveSafety, ATemporaryIsNeverCreatedThroughALinkOrOverAnything)
{
    TempDir dir;
    TempDir::Write(dir.File("victim"), "untouched");
    fs::create_symlink(dir.At("victim"), dir.At("planted"));
    fs::create_symlink(dir.At("nowhere"), dir.At("dangling"));
    for (const char* name : {"planted", "dangling", "victim"})
        EXPECT_EQ(SystemFile().CreateNew(dir.At(name), true), std::errc::file_exists) << name;
    EXPECT_EQ(TempDir::Read(dir.File("victim")), "untouched");
    EXPECT_FALSE(fs::exists(dir.At("nowhere")));
}

TEST(SaveSafety, LinkedAndLongestNamesAreSavedWhereTheyLiveAndALinkedBackupIsReplacedNotWrittenThrough)
{
    TempDir dir;
    fs::create_directory(dir.At("real"));
    TempDir::Write(dir.File("real/x.gxt"), "old");
    fs::create_symlink("real/x.gxt", dir.At("link.gxt"));  // relative, as links usually are
    SaveWithBackup(dir.File("link.gxt"), AsBytes("new"));
    EXPECT_TRUE(fs::is_symlink(dir.At("link.gxt")));
    const std::string name(243, 'n');  // with ".bak" 247 bytes, under the 255 a name may have
    TempDir::Write(dir.File(name), "old");
    SaveWithBackup(dir.File(name), AsBytes("new"));
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"link.gxt=new", "real=<folder>", "real/x.gxt=new",
                                                    "real/x.gxt.bak=old", name + "=new", name + ".bak=old"}));

    TempDir::Write(dir.File("other"), "someone else's");
    fs::remove(dir.At("real/x.gxt.bak"));
    fs::create_symlink(dir.At("other"), dir.At("real/x.gxt.bak"));
    SaveWithBackup(dir.File("real/x.gxt"), AsBytes("newer"));
    EXPECT_EQ(TempDir::Read(dir.File("other")), "someone else's");
    EXPECT_FALSE(fs::is_symlink(dir.At("real/x.gxt.bak")));
    EXPECT_EQ(TempDir::Read(dir.File("real/x.gxt.bak")), "new");

    fs::permissions(dir.At("real/x.gxt.bak"), fs::perms(0444));  // a read-only backup does not block a save
    SaveWithBackup(dir.File("real/x.gxt"), AsBytes("newest"));
    EXPECT_EQ(TempDir::Read(dir.File("real/x.gxt.bak")), "newer");
}

TEST(SaveSafety, TheNewFileKeepsModeAndOwnerAndAReadOnlyFileIsRefusedUntouched)
{
    for (const auto mode : {0600, 0755, 0444}) {
        TempDir dir;
        const std::string file = dir.File("x.gci");
        TempDir::Write(file, "old");
        TempDir::Write(file + ".bak", "older");
        fs::permissions(PathFromUtf8(file), fs::perms(mode));
        const bool root = geteuid() == 0;  // only root may give a file away: then the save must give it back
        if (root) {
            ASSERT_EQ(chown(file.c_str(), 4321, 4321), 0);
        }
        const bool readOnly = mode == 0444;  // refused, and nothing changes
        EXPECT_EQ(Thrown<FileError>([&] { SaveWithBackup(file, AsBytes("new")); }),
                  readOnly ? file + ": is read-only: it cannot be saved over" : "<nothing thrown>");
        EXPECT_EQ(dir.Listing(), (readOnly ? std::set<std::string>{"x.gci=old", "x.gci.bak=older"}
                                           : std::set<std::string>{"x.gci=new", "x.gci.bak=old"}))
            << mode;
        struct stat info {};
        ASSERT_EQ(stat(file.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, static_cast<unsigned>(mode)) << mode;
        if (root) {
            EXPECT_EQ(info.st_uid + info.st_gid, 8642u) << mode;
        }
    }
}

TEST(SaveSafety, AFolderThatCannotBeWrittenIsNamedAndNothingChanges)
{
    TempDir dir;
    fs::create_directory(dir.At("locked"));
    const std::string file = dir.File("locked/x.gxt");
    TempDir::Write(file, "old");
    TempDir::Write(file + ".bak", "older");
    fs::permissions(dir.At("locked"), fs::perms(0555));
    if (access(dir.File("locked").c_str(), W_OK) == 0) {
        fs::permissions(dir.At("locked"), fs::perms(0755));
        GTEST_SKIP() << "this process (root) may write a folder without write permission";
    }
    const std::set<std::string> before = dir.Listing();
    EXPECT_EQ(Thrown<FileError>([&] { SaveWithBackup(file, AsBytes("new")); }),
              file + ": cannot be saved: the folder " + dir.File("locked") + " cannot be written");
    EXPECT_EQ(dir.Listing(), before);
    fs::permissions(dir.At("locked"), fs::perms(0755));
}
#endif
