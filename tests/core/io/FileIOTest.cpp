#include <gtest/gtest.h>

#include <filesystem>

#include "core/io/ByteReader.h"
#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

namespace fs = std::filesystem;

TEST(ByteReader, ReadsLittleEndianAndNeverPassesTheEndOfItsSlice)
{
    const uint8_t data[] = {0x34, 0x12, 0x40, 0x9C, 0x78, 0x56, 0x34, 0x12, 'T', 'I'};
    ByteReader r(data);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.I16(), -25536);  // 40000
    EXPECT_EQ(r.U32(), 0x12345678u);
    EXPECT_THROW(r.U32(), TruncatedData);
    EXPECT_EQ(r.Position(), 8u);  // a refused read does not move
    EXPECT_EQ(r.Text(2), "TI");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_THROW(r.U8(), TruncatedData);
    EXPECT_THROW(r.Seek(11), TruncatedData);
    EXPECT_NO_THROW(r.Seek(1));
    ByteReader chunk = r.Sub(3);  // bytes 1 to 3
    EXPECT_EQ(r.Position(), 4u);
    EXPECT_EQ(chunk.U16(), 0x4012);
    EXPECT_THROW(chunk.U16(), TruncatedData);  // byte 4 belongs to the parent, not the chunk
    EXPECT_THROW(r.Sub(7), TruncatedData);
    EXPECT_THROW(r.Skip(static_cast<std::size_t>(-1)), TruncatedData);
}

TEST(FileIO, ReadingAMissingFileOrAFolderNamesItAndCreatesNothing)
{
    TempDir dir;
    const std::string missing = dir.File("none.gxt");
    EXPECT_EQ(Thrown<FileError>([&] { ReadWholeFile(missing); }).find(missing + ": "), 0u);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_THROW(ReadWholeFile(dir.Path().string()), FileError);
}

TEST(FileIO, SaveKeepsTheOldFileAsBackupAndFailedSavesLeaveTheOriginal)
{
    TempDir dir;
    const std::string file = dir.File("x.gci"), folder = dir.File("folder.gci"), y = dir.File("y.gci");
    TempDir::Write(file, "old");
    TempDir::Write(file + ".bak", "older backup");
    SaveWithBackup(file, AsBytes("new"));
    EXPECT_EQ(TempDir::Read(file), "new");
    EXPECT_EQ(TempDir::Read(file + ".bak"), "old");
    SaveWithBackup(dir.File("fresh.gci"), AsBytes("first"));  // nothing to back up
    EXPECT_EQ(TempDir::Read(dir.File("fresh.gci")), "first");

    fs::create_directory(folder);  // the target is a folder: it cannot be backed up or replaced
    EXPECT_THROW(SaveWithBackup(folder, AsBytes("new")), FileError);
    EXPECT_TRUE(fs::is_directory(folder));
    TempDir::Write(y, "original");  // the backup name is taken by a folder
    fs::create_directory(y + ".bak");
    EXPECT_THROW(SaveWithBackup(y, AsBytes("new")), FileError);
    EXPECT_EQ(TempDir::Read(y), "original");
    const std::string nowhere = dir.File("missing/z.gci");  // the folder does not exist
    EXPECT_EQ(Thrown<FileError>([&] { SaveWithBackup(nowhere, AsBytes("new")); }).find(nowhere + ": "), 0u);
    // x.gci, x.gci.bak, fresh.gci, folder.gci, y.gci, y.gci.bak: no temporary left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 6);

    TempDir::Write(file, std::string(100, 'x'));  // a bitmap replaced without backup
    ReplaceFile(file, AsBytes("short"));
    EXPECT_EQ(TempDir::Read(file), "short");
    EXPECT_EQ(TempDir::Read(file + ".bak"), "old");
}

TEST(FileIO, TheBackupIsAFileOfItsOwnNotTheNewOneUnderAnotherName)
{
    TempDir dir;
    const std::string file = dir.File("x.gxt");
    TempDir::Write(file, "first");
    SaveWithBackup(file, AsBytes("second"));
    SaveWithBackup(file, AsBytes("third"));
    EXPECT_EQ(TempDir::Read(file + ".bak"), "second");
    TempDir::Write(file, "changed by hand");  // in place, as another program would
    EXPECT_EQ(TempDir::Read(file + ".bak"), "second");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);
}

TEST(FileIO, AFileReadPieceByPieceRefusesWhatLiesPastItsEnd)
{
    TempDir dir;
    const std::string file = dir.File("pieces.bin");
    TempDir::Write(file, "0123456789");
    FileReader in(file);
    EXPECT_EQ(in.Size(), 10u);
    in.Skip(2);
    {
        auto r = in.Read(3);
        EXPECT_EQ(std::vector<uint8_t>(r.begin(), r.end()), (std::vector<uint8_t>{50, 51, 52}));
    }
    EXPECT_EQ(in.Position(), 5u);
    try {
        in.Read(6);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.File(), file);
    }
    EXPECT_THROW(in.Skip(6), FileError);
    EXPECT_EQ(in.Position(), 5u);  // a refused read does not move
    in.Skip(5);
    EXPECT_EQ(in.Remaining(), 0u);

    EXPECT_THROW(FileReader(dir.File("missing.bin")), FileError);
    EXPECT_THROW(FileReader(dir.Path().string()), FileError);  // a folder
}
