// SPDX-License-Identifier: GPL-3.0-or-later
// A save stopped between its steps, by a failure or a kill, and the files it must not
// read or write: the folder holds the old file or the new one and nothing else.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/io/FileIO.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

// The steps, the hold on a file in use and the links are POSIX ones.
#ifndef _WIN32
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr SaveStep kSteps[] = {SaveStep::Written, SaveStep::OldNamed, SaveStep::OldBackupNamed, SaveStep::BackupTaken,
                               SaveStep::Replaced};

// Puts the seams back as they were after each test.
struct Seams {
    explicit Seams(std::chrono::seconds staleAfter = std::chrono::minutes(10)) { TestSeams().staleAfter = staleAfter; }
    ~Seams() { TestSeams() = SaveSeams(); }
};

// x.gxt holding "old" and, when asked, x.gxt.bak holding "older".
std::string OldFiles(const TempDir& dir, bool backup)
{
    TempDir::Write(dir.File("x.gxt"), "old");
    if (backup)
        TempDir::Write(dir.File("x.gxt.bak"), "older");
    return dir.File("x.gxt");
}

}  // namespace

TEST(SaveSteps, AFailureAfterAnyStepPutsTheFolderBackAsItWas)
{
    const Seams seams;
    for (const bool backup : {true, false})
        for (const SaveStep step : kSteps) {
            TempDir dir;
            const std::string file = OldFiles(dir, backup);
            const std::set<std::string> before = dir.Listing();
            TestSeams().afterStep = [step](SaveStep now) {
                if (now == step)
                    throw std::runtime_error("stopped");
            };
            const std::string thrown = Thrown<std::runtime_error>([&] { SaveWithBackup(file, AsBytes("new")); });
            const bool reached = backup || step != SaveStep::OldBackupNamed;
            // Once the new file has its name the save is done: it is kept, with its backup.
            const bool done = step == SaveStep::Replaced || !reached;
            EXPECT_EQ(thrown, reached ? "stopped" : "<nothing thrown>");
            EXPECT_EQ(dir.Listing(), done ? (std::set<std::string>{"x.gxt=new", "x.gxt.bak=old"}) : before)
                << static_cast<int>(step) << backup;
        }
}

TEST(SaveSteps, ASaveKilledAfterAnyStepLeavesTheOldOrTheNewFileAndTheNextSaveRemovesItsTemporaries)
{
    const Seams seams(std::chrono::seconds(0));
    for (const SaveStep step : kSteps) {
        TempDir dir;
        const std::string file = OldFiles(dir, true);
        const pid_t child = fork();
        ASSERT_NE(child, -1);
        if (child == 0) {
            TestSeams().afterStep = [step](SaveStep now) {
                if (now == step)
                    _exit(0);
            };
            SaveWithBackup(file, AsBytes("new"));
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_EQ(status, 0) << "the save was not stopped at step " << static_cast<int>(step);
        const std::string left = TempDir::Read(file);
        EXPECT_TRUE(left == "old" || left == "new") << left;
        for (const std::string& entry : dir.Listing())
            EXPECT_TRUE(entry.starts_with("x.gxt") || entry.starts_with(".kv")) << entry;
        SaveWithBackup(file, AsBytes("newest"));
        EXPECT_EQ(dir.Listing(), (std::set<std::string>{"x.gxt=newest", "x.gxt.bak=" + left}))
            << static_cast<int>(step);
    }
}

TEST(SaveSteps, OnlyTemporariesProvablyOursAndStaleAreRemoved)
{
    const Seams seams(std::chrono::seconds(0));
    TempDir dir;
    for (const char* name : {".kv0a1b2c.tmp", ".kvheld00.tmp", ".kvABCDEF.tmp", ".kv12345.tmp", ".kvothers.tmp"})
        TempDir::Write(dir.File(name), "x");
    const bool root = geteuid() == 0;  // then another user's file can be made
    if (root) {
        ASSERT_EQ(chown(dir.File(".kvothers.tmp").c_str(), 4321, 4321), 0);
    }
    fs::create_symlink(dir.At(".kv0a1b2c.tmp"), dir.At(".kvlinked.tmp"));
    const int held = open(dir.File(".kvheld00.tmp").c_str(), O_RDONLY);  // as a running save holds its files
    ASSERT_EQ(flock(held, LOCK_SH), 0);
    SaveWithBackup(dir.File("x.gxt"), AsBytes("new"));
    close(held);
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.At("")))
        names.insert(entry.path().filename().string());
    std::set<std::string> kept{".kvheld00.tmp", ".kvABCDEF.tmp", ".kv12345.tmp", ".kvlinked.tmp", "x.gxt"};
    if (root)
        kept.insert(".kvothers.tmp");
    EXPECT_EQ(names, kept);

    TempDir fresh;  // the same name, not yet stale
    TempDir::Write(fresh.File(".kv0a1b2c.tmp"), "x");
    TestSeams().staleAfter = std::chrono::minutes(10);
    SaveWithBackup(fresh.File("x.gxt"), AsBytes("new"));
    EXPECT_TRUE(fs::exists(fresh.At(".kv0a1b2c.tmp")));
}

TEST(SaveSteps, ABackupThatCannotBeMadeFailsTheSaveBeforeTheFileChanges)
{
    TempDir dir;
    const std::string longName = dir.File(std::string(252, 'n'));  // 256 bytes with ".bak", one more than allowed
    TempDir::Write(longName, "old");
    const std::string immutable = OldFiles(dir, true);
    const bool locked = std::system(("chattr +i '" + immutable + ".bak' 2>/dev/null").c_str()) == 0;
    const std::set<std::string> before = dir.Listing();
    EXPECT_PRED2(Holds, Thrown<FileError>([&] { SaveWithBackup(longName, AsBytes("new")); }),
                 longName + ": cannot be backed up as " + longName + ".bak: File name too long");
    if (locked) {
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { SaveWithBackup(immutable, AsBytes("new")); }),
                     immutable + ": cannot be backed up as " + immutable + ".bak: Operation not permitted");
        std::system(("chattr -i '" + immutable + ".bak'").c_str());
    }
    EXPECT_EQ(dir.Listing(), before);
    if (!locked)
        GTEST_SKIP() << "chattr +i is not allowed here: the immutable backup was not tried";
}

TEST(SaveSteps, OnlyRegularFilesAreReadOrSavedOverAndNeverWaitedOn)
{
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("pipe.gxt").c_str(), 0600), 0);
    const int server = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    dir.File("socket").copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const std::pair<std::string, std::string> unreadable[] = {
        {dir.File("pipe.gxt"), "a named pipe"}, {"/dev/zero", "a device"}, {dir.File("socket"), "a socket"}};
    for (const auto& [file, what] : unreadable) {
        EXPECT_EQ(Thrown<FileError>([&] { ReadWholeFile(file); }),
                  file + ": cannot be opened: it is " + what + ", not a file");
        EXPECT_TRUE(ReadHead(file, 4).empty()) << file;
    }
    for (const auto& [file, what] : {unreadable[0], std::pair<std::string, std::string>{"/dev/full", "a device"}})
        EXPECT_EQ(Thrown<FileError>([&] { SaveWithBackup(file, AsBytes("new")); }),
                  file + ": cannot be saved over: it is " + what + ", not a file");
    close(server);
}

TEST(SaveSteps, ANewFileIsWrittenWholeOnlyWhereNothingIsAndAnOutputIsNeverItsInput)
{
    TempDir dir;
    const std::string file = dir.File("Tile0000.bmp");
    EXPECT_TRUE(WriteNewFile(file, AsBytes("first")));
    EXPECT_FALSE(WriteNewFile(file, AsBytes("second")));
    fs::create_symlink(dir.At("elsewhere"), dir.At("link.bmp"));
    EXPECT_FALSE(WriteNewFile(dir.File("link.bmp"), AsBytes("through")));
    WriteExportFile(file, AsBytes("third"));
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"Tile0000.bmp=third", "link.bmp=<folder>"}));

    fs::create_hard_link(dir.At("Tile0000.bmp"), dir.At("same.gxt"));
    EXPECT_EQ(Thrown<FileError>([&] { RefuseToOverwrite(dir.File("same.gxt"), file); }),
              dir.File("same.gxt") + ": cannot be written: it is the input file " + file);
    for (const char* other : {"link.bmp", "missing.po"})
        EXPECT_EQ(Thrown<FileError>([&] { RefuseToOverwrite(dir.File(other), file); }), "<nothing thrown>");
}
#endif
