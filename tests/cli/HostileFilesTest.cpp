// kestrova-cli on what a hostile user hands it: pipes and devices, a disk that fills, an
// output that is its own input, damaged images. Each is refused with status 1 and
// leaves every file as it was.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "tests/cli/CliFixture.h"

#ifndef _WIN32
#include <sys/stat.h>

namespace {

class HostileFiles : public Cli {
protected:
    // Runs the program where no file may grow past 400 blocks (of 512 bytes, or of 1 KB in
    // some shells), as on a nearly full disk.
    Result RunOnFullDisk(const QString& command) const
    {
        QProcess shell;
        shell.setWorkingDirectory(QString::fromStdString(dir.Utf8()));
        shell.start("sh", QStringList{"-c", "trap '' XFSZ; ulimit -f 400; exec \"$0\" \"$@\"", KESTROVA_CLI} +
                              command.split(' '));
        if (!shell.waitForFinished(60000))
            return {};
        return {shell.exitCode(), shell.readAllStandardOutput(), shell.readAllStandardError()};
    }

    void Expect(const Result& r, const std::string& problem) const
    {
        EXPECT_EQ(r.status, 1) << problem;
        EXPECT_TRUE(r.err.contains(QString::fromStdString(problem))) << r.err.toStdString();
    }
};

// An 8-bit image with the first 17 colours of `like`'s whose pixels use indices up to 255
// (with 16, the writers would store 4 bits a pixel, which cannot hold a larger index).
QByteArray IndicesBeyondTheTable(const QImage& like, const char* format)
{
    QImage image(64, 64, QImage::Format_Indexed8);
    image.setColorTable(like.colorTable().mid(0, 17));
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            image.scanLine(y)[x] = static_cast<uchar>(x * 4 + y % 4);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

}  // namespace

TEST_F(HostileFiles, PipesAndDevicesAreRefusedAtOnceNeverWaitedOn)
{
    for (const char* pipe : {"pipe.gxt", "pipe", "pipe.po", "pipe.png"})
        ASSERT_EQ(mkfifo(File(pipe).c_str(), 0600), 0);
    const std::set<std::string> before = dir.Listing();
    const std::pair<const char*, const char*> refused[] = {
        {"info pipe.gxt", "pipe.gxt: cannot be opened: it is a named pipe, not a file"},
        {"gxt set pipe.gxt HELLO x", "pipe.gxt: cannot be opened: it is a named pipe, not a file"},
        {"info pipe", "pipe: cannot be opened: it is a named pipe, not a file"},
        {"info /dev/zero", "/dev/zero: cannot be opened: it is a device, not a file"},
        {"sty replace style.sty --tile 0 pipe.png",
         "pipe.png: cannot be read as an image: cannot be opened: it is a named pipe, not a file"},
#ifdef KESTROVA_HAVE_PO
        {"gxt import-po texts.gxt pipe.po", "pipe.po: cannot be opened: it is a named pipe, not a file"},
        {"gxt import-po texts.gxt /dev/urandom", "/dev/urandom: cannot be opened: it is a device, not a file"},
#endif
    };
    for (const auto& [command, problem] : refused)
        Expect(Run(command), problem);
    EXPECT_TRUE(dir.Listing() == before);  // not printed: the style is large
}

#ifdef KESTROVA_HAVE_PO
TEST_F(HostileFiles, APoExportThatCannotBeWrittenWholeLeavesEveryFileAsItWas)
{
    TempDir::Write(File("old.po"), std::string(2000, 't'));
    // Some 600 KB of PO text, written through a private file 100 KB at a time.
    TempDir::Write(File("many.gxt"), gxt_test::FileOf(gxt_test::GameLikeEntries(6000)));
    ASSERT_EQ(link(File("texts.gxt").c_str(), File("same.po").c_str()), 0);
    const std::set<std::string> before = dir.Listing();
    Expect(Run("gxt export-po texts.gxt -o /dev/full"), "/dev/full: cannot be saved over: it is a device, not a file");
    Expect(Run("gxt export-po texts.gxt -o texts.gxt"), "texts.gxt: cannot be written: it is the input file texts.gxt");
    Expect(Run("gxt export-po damaged.gxt --source texts.gxt -o same.po"),
           "same.po: cannot be written: it is the input file texts.gxt");
    Expect(RunOnFullDisk("gxt export-po many.gxt -o old.po"), "old.po: cannot be written: the disk is full");
    EXPECT_TRUE(dir.Listing() == before);  // not printed: the style is large
}
#endif

TEST_F(HostileFiles, DamagedImagesAreRefusedNamingTheProblemAndTheStyleStays)
{
    ASSERT_EQ(Run("sty export style.sty out --tiles --format bmp").status, 0);
    ASSERT_EQ(Run("sty export style.sty png --tiles").status, 0);
    const QImage tile(QString::fromStdString(File("png/Tile0000.png")));  // the tile's own colours
    const std::string bitmap = Read("out/Tile0000.bmp");
    std::string offset = bitmap;
    offset[11] = 0x40;  // the pixels' offset: 1078 becomes 16438, past the end
    TempDir::Write(File("cut.bmp"), bitmap.substr(0, bitmap.size() - 41 * 64));
    TempDir::Write(File("offset.bmp"), offset);
    TempDir::Write(File("short.png"), IndicesBeyondTheTable(tile, "png").toStdString());
    TempDir::Write(File("short.bmp"), IndicesBeyondTheTable(tile, "bmp").toStdString());
    const std::string style = Read("style.sty");
    const std::pair<const char*, std::string> damaged[] = {
        {"cut.bmp", "its pixels end early: 23 of its 64 rows are in the file"},
        {"offset.bmp", "its pixels would begin at byte 16438, but it ends at byte " + std::to_string(bitmap.size())},
        {"short.png", "the image reader warns: libpng warning: "},
        {"short.bmp", "the pixel at (5, 0) has colour index 20, beyond the image's 17 colours"},
    };
    for (const auto& [image, problem] : damaged)
        Expect(Run(QString("sty replace style.sty --tile 0 ") + image),
               std::string(image) + ": cannot be read as an image: " + problem);
    EXPECT_TRUE(Read("style.sty") == style);  // not printed: it is large
    EXPECT_FALSE(Exists("style.sty.bak"));
}
#endif
