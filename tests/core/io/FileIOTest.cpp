// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <csignal>
#include <set>
#include <thread>

#include "core/io/ByteReader.h"
#include "core/io/ChunkWalker.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "tests/support/LittleEndian.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

TEST(ByteReader, ReadsLittleEndianAndNeverPassesTheEndOfItsSlice)
{
    const uint8_t data[] = {0x34, 0x12, 0x40, 0x9C, 0x78, 0x56, 0x34, 0x12};
    ByteReader r(data);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.I16(), -25536);  // 40000 unsigned
    ByteReader rest = r.Sub(3);
    EXPECT_THROW(rest.U32(), TruncatedData);  // the fourth byte belongs to the parent, not the slice
    EXPECT_EQ(rest.U16() | r.U8() << 16, 0x125678);
    EXPECT_THROW(r.U8(), TruncatedData);
    EXPECT_EQ(PrintableTag("t\x01\x7F\x85\xE9"), "t???\xC3\xA9");  // Latin-1 shown as UTF-8
    EXPECT_EQ(UpperAscii("tIlE\xE9"), "TILE\xE9");
}

// What it reads is checked by every load from a file; here, what the size it is told misses.
TEST(ReadWholeFile, ReadsPastTheSizeAFileGivesAndRefusesWhatCannotBeOpened)
{
    TempDir dir;
#ifdef __linux__
    const std::vector<uint8_t> status = ReadWholeFile("/proc/self/status");  // a file that says it is empty
    EXPECT_PRED2(Holds, std::string(status.begin(), status.end()), "Name:");
#endif
    for (const std::string& bad : {dir.File("missing.bin"), dir.Utf8()})  // and a folder
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { ReadWholeFile(bad); }), bad + ": cannot be opened");
}

TEST(ChunkWalker, HandsEachBodyBoundedToItselfAndRefusesCutHeadersInEachDialect)
{
    const std::string file = le::Chunk("ONE!", "abc") + le::Chunk("TWO!", "de") + le::Chunk("CUT!", "fg").substr(0, 9);
    std::vector<std::string> seen;
    ChunkWalker(AsBytes("GBXX12" + file), "x.bin", ChunkDialect::Map).Walk("short", [&](const FileChunk& chunk) {
        if (chunk.Type() == "CUT!")  // runs past the end: refused when asked for, else the last
            return seen.push_back(Thrown<FileError>([&] { chunk.Body(); }));
        ByteReader body = chunk.Body();
        seen.push_back(std::to_string(chunk.BodyAt()) + ":" + body.Text(body.Size()));
        EXPECT_THROW(body.U8(), TruncatedData);  // the next chunk is not this one's
    });
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "14:abc", "25:de",
                        "x.bin: chunk \"CUT!\" at offset 27 needs 2 bytes but only 1 remain in the file"}));

    const std::tuple<std::string, ChunkDialect, std::string> cases[] = {
        {"GB", ChunkDialect::Map, "x.bin: short"},
        {"GBXX12TW", ChunkDialect::Map, "x.bin: the chunk header at offset 6 is cut off by the end of the file"},
        {"GBXX12TW", ChunkDialect::Style, "x.bin: ends inside the chunk header at offset 6"},
        {"GBXX12TWO!\1", ChunkDialect::Style, "x.bin: ends inside the header of chunk \"TWO!\" at offset 6"},
    };
    for (const auto& [bytes, dialect, message] : cases)
        EXPECT_EQ(Thrown<FileError>([&] { ChunkWalker(AsBytes(bytes), "x.bin", dialect).Walk("short", [](auto&) {}); }),
                  message);
}

TEST(Save, TheOldFileBecomesTheBackupAndEveryFailureLeavesBothAsTheyWere)
{
    TempDir dir;
    const std::string file = dir.File("x.gxt");
    TempDir::Write(file, "first");
    SaveWithBackup(file, AsBytes("second"));
    ReplaceWholeFile(file, AsBytes("short"));  // no backup, nothing of the longer file left

    std::filesystem::create_directory(dir.At("folder.gxt"));  // a target that is a folder
    std::filesystem::create_directory(dir.At("y.gxt.bak"));   // a backup name taken by a folder
    TempDir::Write(dir.File("y.gxt"), "original");
    for (const auto& [name, problem] :
         {std::pair<std::string, std::string>{"folder.gxt", "cannot be saved: it is a folder"},
          {"y.gxt", "cannot be backed up: " + dir.File("y.gxt.bak") + " is a folder"},
          {"missing/z.gxt", "cannot be written"}}) {
        const std::string target = dir.File(name);
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { SaveWithBackup(target, AsBytes("new")); }),
                     target + ": " + problem);
    }
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"x.gxt=short", "x.gxt.bak=first", "folder.gxt=<folder>",
                                                    "y.gxt=original", "y.gxt.bak=<folder>"}));
}

#ifndef _WIN32
TEST(Save, AWriteThatFailsHalfwayLeavesTheFileAndNoTemporary)
{
    TempDir dir;
    const std::string file = dir.File("x.gci");
    TempDir::Write(file, "old");
    SaveWithBackup(file, AsBytes("kept"));
    std::signal(SIGXFSZ, SIG_IGN);  // files may not grow past 1000 bytes: a write of 5000 fails
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit small{.rlim_cur = 1000, .rlim_max = previous.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = Thrown<FileError>([&] { SaveWithBackup(file, AsBytes(std::string(5000, 'n'))); });
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(error, file + ": cannot be written: the disk is full");
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"x.gci=kept", "x.gci.bak=old"}));
}
#endif

TEST(Save, TwoSavesOfOneFileAtOnceNeverMixTheirBytes)
{
    TempDir dir;
    const std::string file = dir.File("x.gxt");
    std::atomic<int> failures{0};
    const auto saveMany = [&](char letter) {
        for (int i = 0; i < 40; ++i)
            failures += Thrown<FileError>([&] { SaveWithBackup(file, AsBytes(std::string(20000, letter))); }) !=
                        "<nothing thrown>";
    };
    {
        std::jthread a(saveMany, 'a'), b(saveMany, 'b');
    }
    const std::string saved = TempDir::Read(file);
    EXPECT_TRUE(saved == std::string(20000, 'a') || saved == std::string(20000, 'b'));
#ifndef _WIN32
    EXPECT_EQ(failures, 0);  // Windows may refuse to replace a file the other save holds open, and says so
#endif
    EXPECT_TRUE(std::filesystem::exists(dir.At("x.gxt.bak")) && dir.Listing().size() == 2);  // and no temporary
}
