// SPDX-License-Identifier: GPL-3.0-or-later
// kestrova-cli on what a hostile user hands it: pipes and devices, an output that is its
// own input, damaged images. Each is refused with status 1 and leaves every file as it was.
// How the file layer refuses each is tested in tests/core/io; here, that every command
// goes through it.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>

#include "tests/cli/CliFixture.h"

#ifndef _WIN32
#include <sys/stat.h>

namespace {

// A suite of its own: each test file's fixture is a class of its own.
class HostileFiles : public Cli {};

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
        {"gxt set pipe.gxt HELLO x", "pipe.gxt: cannot be opened: it is a named pipe, not a file"},
        {"info pipe", "pipe: cannot be opened: it is a named pipe, not a file"},
        {"info /dev/zero", "/dev/zero: cannot be opened: it is a device, not a file"},
        {"sty replace style.sty --tile 0 pipe.png",
         "pipe.png: cannot be read as an image: cannot be opened: it is a named pipe, not a file"},
#ifdef KESTROVA_HAVE_PO
        {"gxt import-po texts.gxt pipe.po", "pipe.po: cannot be opened: it is a named pipe, not a file"},
#endif
    };
    for (const auto& [command, problem] : refused)
        ExpectRefused(command, 1, problem);
    EXPECT_TRUE(dir.Listing() == before);  // not printed: the style is large
}

#ifdef KESTROVA_HAVE_PO
TEST_F(HostileFiles, APoExportOntoADeviceOrItsOwnInputIsRefusedAndLeavesEveryFileAsItWas)
{
    ASSERT_EQ(link(File("texts.gxt").c_str(), File("same.po").c_str()), 0);
    const std::set<std::string> before = dir.Listing();
    ExpectRefused("gxt export-po texts.gxt -o /dev/full", 1, "/dev/full: cannot be saved over: it is a device");
    ExpectRefused("gxt export-po texts.gxt -o texts.gxt", 1, "texts.gxt: cannot be written: it is the input file");
    ExpectRefused("gxt export-po damaged.gxt --source texts.gxt -o same.po", 1,
                  "same.po: cannot be written: it is the input file texts.gxt");
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
        ExpectRefused(QString("sty replace style.sty --tile 0 ") + image, 1,
                      std::string(image) + ": cannot be read as an image: " + problem);
    EXPECT_TRUE(Read("style.sty") == style);  // not printed: it is large
    EXPECT_FALSE(Exists("style.sty.bak"));
}
#endif
