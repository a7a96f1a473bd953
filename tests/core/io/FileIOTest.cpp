#include <gtest/gtest.h>

#include <filesystem>

#include "models/io/ByteReader.h"
#include "models/io/FileError.h"
#include "models/io/FileIO.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

TEST(ByteReader, ReadsLittleEndianAndRefusesToPassTheEnd)
{
    const uint8_t data[] = {0x34, 0x12,              // u16 0x1234
                            0x40, 0x9C,              // i16 40000 -> -25536
                            0x78, 0x56, 0x34, 0x12,  // u32
                            'T', 'I'};
    ByteReader r(data);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.I16(), -25536);
    EXPECT_EQ(r.U32(), 0x12345678u);
    EXPECT_THROW(r.U32(), TruncatedData);
    EXPECT_EQ(r.Position(), 8u);  // a refused read does not move
    EXPECT_EQ(r.Text(2), "TI");
    EXPECT_TRUE(r.AtEnd());
    EXPECT_THROW(r.U8(), TruncatedData);
    EXPECT_THROW(r.Seek(11), TruncatedData);
    EXPECT_NO_THROW(r.Seek(10));
}

TEST(ByteReader, SubReaderStaysInsideItsSlice)
{
    const uint8_t data[] = {1, 2, 3, 4, 5, 6};
    ByteReader r(data);
    r.Skip(1);
    ByteReader chunk = r.Sub(3);
    EXPECT_EQ(r.Position(), 4u);
    EXPECT_EQ(chunk.Size(), 3u);
    EXPECT_EQ(chunk.U16(), 0x0302);
    EXPECT_THROW(chunk.U16(), TruncatedData);  // byte 5 belongs to the parent, not the chunk
    EXPECT_THROW(r.Sub(3), TruncatedData);
    EXPECT_THROW(r.Skip(static_cast<std::size_t>(-1)), TruncatedData);
}

TEST(FileIO, ReadingAMissingFileOrAFolderNamesItAndCreatesNothing)
{
    TempDir dir;
    const std::string missing = dir.File("none.gxt");
    try {
        ReadWholeFile(missing);
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_NE(std::string(e.what()).find(missing), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_THROW(ReadWholeFile(dir.Path().string()), FileError);
}

TEST(FileIO, SaveKeepsTheOldFileAsBackupAndLeavesNoTemporary)
{
    TempDir dir;
    const std::string file = dir.File("x.gci");
    TempDir::Write(file, "old");
    TempDir::Write(file + ".bak", "older backup");
    SaveWithBackup(file, AsBytes("new"));
    EXPECT_EQ(TempDir::Read(file), "new");
    EXPECT_EQ(TempDir::Read(file + ".bak"), "old");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 2);

    SaveWithBackup(dir.File("fresh.gci"), AsBytes("first"));  // nothing to back up
    EXPECT_EQ(TempDir::Read(dir.File("fresh.gci")), "first");
    EXPECT_FALSE(fs::exists(dir.File("fresh.gci.bak")));
}

TEST(FileIO, FailedSavesLeaveTheOriginalUntouched)
{
    TempDir dir;
    // The target is a folder: it cannot be backed up or replaced.
    const std::string folder = dir.File("folder.gci");
    fs::create_directory(folder);
    EXPECT_THROW(SaveWithBackup(folder, AsBytes("new")), FileError);
    EXPECT_TRUE(fs::is_directory(folder));

    // The backup name is taken by a folder: the original stays as it was.
    const std::string file = dir.File("y.gci");
    TempDir::Write(file, "original");
    fs::create_directory(file + ".bak");
    EXPECT_THROW(SaveWithBackup(file, AsBytes("new")), FileError);
    EXPECT_EQ(TempDir::Read(file), "original");

    // The folder does not exist: nothing can be written.
    const std::string nowhere = dir.File("missing/z.gci");
    try {
        SaveWithBackup(nowhere, AsBytes("new"));
        FAIL() << "no error";
    } catch (const FileError& e) {
        EXPECT_EQ(e.File(), nowhere);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 3);
}

TEST(FileIO, ReplaceFileLeavesNoOldBytesPastTheNewEnd)
{
    TempDir dir;
    const std::string file = dir.File("a.bmp");
    TempDir::Write(file, std::string(100, 'x'));
    ReplaceFile(file, AsBytes("short"));
    EXPECT_EQ(TempDir::Read(file), "short");
    EXPECT_FALSE(fs::exists(file + ".bak"));
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
    EXPECT_EQ(in.Read(3), (std::vector<uint8_t>{'2', '3', '4'}));
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
