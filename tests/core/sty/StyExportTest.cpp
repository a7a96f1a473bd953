#include <gtest/gtest.h>

#include <filesystem>

#include "app/BitmapHeader.h"
#include "models/io/FileError.h"
#include "models/sty/StyExport.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/StyRecordingSurface.h"
#include "tests/support/TempDir.h"

using namespace sty_test;

namespace {

std::string U32(uint32_t v)
{
    return I32(static_cast<int32_t>(v));
}

// The 54 header bytes of an 8-bit bitmap, written out field by field.
std::string ExpectedHeader(int32_t width, int32_t height, uint32_t imageSize)
{
    return std::string("BM") + U32(1078 + imageSize) + U32(0) + U32(1078) + U32(40) + I32(width) + I32(height) +
           U16(1) + U16(8) + U32(0) + U32(imageSize) + U32(0) + U32(0) + U32(256) + U32(256);
}

class StyExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitBitmapHeader();
        // Palette 10 (sprite 0's own) gets colour 7 stored as blue 10, green 20, red 30, fourth 40.
        small.palettes[10].replace(4 * 7, 4, {10, 20, 30, 40});
        TempDir::Write(dir.File("s.sty"), small.Build());
        sty.LoadSTY(dir.File("s.sty"));
    }

    std::string SpriteRow(const SpriteEntry& s, int y) const
    {
        return small.spriteGraphics.substr(static_cast<std::size_t>(s.offset + y * 256), s.width);
    }

    TempDir dir;
    StyleFile small = SmallStyle();
    clsSTY sty;
};

}  // namespace

TEST_F(StyExport, TileBitmapIsHeaderPaletteAndRowsBottomUp)
{
    const std::string file = dir.File("Tile2.bmp");
    sty.SaveTile(file, 2);  // tile 2 uses physical palette 3
    std::string expected = ExpectedHeader(64, 64, 4096) + small.palettes[3];
    for (int row = 63; row >= 0; --row)
        expected += small.tiles[2].substr(static_cast<std::size_t>(row * 64), 64);
    const std::string written = TempDir::Read(file);
    ASSERT_EQ(written.size(), 5174u);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.substr(5174 - 64), small.tiles[2].substr(0, 64));  // top row last
}

TEST_F(StyExport, SpriteRowsArePaddedWithZerosAndCarryTheSpritesOwnPalette)
{
    StyRecordingSurface pic;
    sty.RenderSprite(0, pic, 33);  // viewing with another palette changes nothing in the export
    const std::string file = dir.File("Sprite0.bmp");
    sty.SaveSprite(file, 0);  // 5 x 3: rows padded to 8
    const SpriteEntry& s = small.sprites[0];
    std::string expected = ExpectedHeader(5, 3, 24) + small.palettes[10];
    for (int y = 2; y >= 0; --y)
        expected += SpriteRow(s, y) + std::string(3, '\0');
    const std::string written = TempDir::Read(file);
    ASSERT_EQ(written.size(), 1102u);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.substr(54 + 7 * 4, 4), std::string({10, 20, 30, 40}));  // the colour as stored

    sty.SaveSprite(file, 1);  // 64 wide: no padding
    const std::string wide = TempDir::Read(file);
    ASSERT_EQ(wide.size(), 1078u + 128u);
    EXPECT_EQ(wide.substr(0, 54), ExpectedHeader(64, 2, 128));
    EXPECT_EQ(wide.substr(1078), SpriteRow(small.sprites[1], 1) + SpriteRow(small.sprites[1], 0));
}

TEST_F(StyExport, AnExistingLongerFileIsReplacedCompletely)
{
    const std::string file = dir.File("old.bmp");
    TempDir::Write(file, std::string(20000, 'x'));
    sty.SaveSprite(file, 2);  // 3 x 2 sprite: 1078 + 8 bytes
    EXPECT_EQ(TempDir::Read(file).size(), 1086u);
    TempDir::Write(file, std::string(20000, 'x'));
    sty.SaveTile(file, 0);
    EXPECT_EQ(TempDir::Read(file).size(), 5174u);
    TempDir::Write(file, std::string(20000, 'x'));
    SavePal(file, sty, 0);
    EXPECT_EQ(TempDir::Read(file).substr(0, 10), "JASC-PAL\r\n");
    EXPECT_EQ(TempDir::Read(file).find('x'), std::string::npos);
}

TEST_F(StyExport, AFileThatCannotBeWrittenIsReportedByName)
{
    const std::string nowhere = dir.File("no such folder/Tile0.bmp");
    for (auto save : {+[](clsSTY& s, const std::string& f) { s.SaveTile(f, 0); },
                      +[](clsSTY& s, const std::string& f) { s.SaveSprite(f, 0); },
                      +[](clsSTY& s, const std::string& f) { SavePal(f, s, 0); }}) {
        try {
            save(sty, nowhere);
            ADD_FAILURE() << "written";
        } catch (const FileError& e) {
            EXPECT_EQ(e.File(), nowhere);
            EXPECT_FALSE(e.Problem().empty());
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("no such folder")));
}

TEST_F(StyExport, JascPaletteHasThreeHeaderLinesAnd256ColourLines)
{
    const std::string text = JascPalText(sty, 10);
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size());  // the last line ends with CR LF too
    ASSERT_EQ(lines.size(), 259u);
    EXPECT_EQ(lines[0], "JASC-PAL");
    EXPECT_EQ(lines[1], "0100");
    EXPECT_EQ(lines[2], "256");
    EXPECT_EQ(lines[3], "255 40 0");  // colour 0: red 255, green 10 * 4, blue 0
    EXPECT_EQ(lines[3 + 7], "30 20 10");
    EXPECT_EQ(lines[258], "0 40 255");
    EXPECT_EQ(text.find('\n', 0), text.find("\r\n") + 1);

    const std::string file = dir.File("Pal10.pal");
    SavePal(file, sty, 10);
    EXPECT_EQ(TempDir::Read(file), text);
    EXPECT_THROW(JascPalText(sty, 64), std::out_of_range);
}
