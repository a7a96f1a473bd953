// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/sty/StyExport.h"
#include "core/sty/clsSTY.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace sty_test;

namespace {

// A picture area of 0x00RRGGBB values, 256 pixels a side; drawing outside it throws.
struct Picture : Surface {
    void Clear() override { ++clears, pixels.assign(256 * 256, 0x123456); }
    void SetPixel(int x, int y, uint32_t colour) override { pixels.at(std::size_t(y * 256 + x)) = colour; }
    uint32_t At(int x, int y) const { return pixels.at(std::size_t(y * 256 + x)); }
    std::vector<uint32_t> pixels;
    int clears = 0;
};

// The loads run twice: on bytes in memory and on a file read whole.
class Sty : public ::testing::TestWithParam<bool> {
protected:
    // Colour c of palette p in SmallStyle.
    static uint32_t Ramp(int p, int c) { return uint32_t(255 - c) << 16 | uint32_t(p * 4) << 8 | uint32_t(c); }
    void SetUp() override { Load(small.Build()); }
    std::string Name() const { return GetParam() ? dir.File("s.sty") : "s.sty"; }
    void Load(const std::string& bytes)
    {
        loaded = bytes;
        if (!GetParam())
            return sty.ParseSTY(AsBytes(bytes), Name());
        TempDir::Write(Name(), bytes);
        sty.LoadSTY(Name());
    }
    std::vector<int> Counts() const
    {
        return {sty.GetNumOfTiles(), sty.GetNumOfPals(), sty.GetNumOfPalx(), sty.GetNumOfSprx()};
    }
    // What a save writes.
    std::string Saved() const
    {
        const std::vector<uint8_t> bytes = sty.Serialize();
        return {bytes.begin(), bytes.end()};
    }
    std::string SpriteRow(int s, int y) const
    {
        const SpriteEntry& e = small.sprites[static_cast<std::size_t>(s)];
        return small.spriteGraphics.substr(static_cast<std::size_t>(e.offset + y * 256), e.width);
    }

    TempDir dir;
    std::string loaded;
    StyleFile small = SmallStyle();
    clsSTY sty;
    Picture pic;
};

INSTANTIATE_TEST_SUITE_P(FromMemoryAndFromAFile, Sty, ::testing::Bool());

}  // namespace

TEST_P(Sty, ChunksInAnyOrderAndCaseShowWholeItemsOnlyAndSaveBackByteForByte)
{
    std::string data(131072 + 4096 + 5, '\0');     // 32 tiles and a bit, or 128 palettes in two pages and a bit
    for (std::size_t i = 0; i < data.size(); ++i)  // byte i unlike its neighbours
        data[i] = static_cast<char>((i * 31 + i / 256 * 7 + 3) % 256);
    std::string palx;
    for (int i = 0; i < 16; ++i)
        palx += U16(70);
    Load(Header() + Chunk("palx", palx + "\x7F")  // 16 entries of palette 70, and a byte
         + Chunk("ZZZZ", "unknown") + Chunk("TiLe", data.substr(0, 65536 + 4096 + 5))  // 17 tiles and 5 bytes: 4 groups
         + Chunk("PPAL", data.substr(0, 131072 + 1024 + 3))                            // 129 palettes: 2 pages
         + Chunk("SPRX", I32(1) + "\x01\x01xx" + "\x7F")                               // a sprite and a bit
         + Chunk("sprg", "\x01\x02\x03") + Chunk("SPRG", "\x09\x0A"));                 // the last of a type is shown
    EXPECT_EQ(Counts(), (std::vector<int>{16, 128, 16, 1}));
    EXPECT_TRUE(Saved() == loaded);
    // Colour c of palette p: blue, green, red at (p / 64) * 65536 + c * 256 + (p % 64) * 4.
    auto colour = [&](int p, int c) {
        const auto at = static_cast<std::size_t>((p / 64) * 65536 + c * 256 + (p % 64) * 4);
        return uint32_t(uint8_t(data[at + 2])) << 16 | uint32_t(uint8_t(data[at + 1])) << 8 | uint8_t(data[at]);
    };
    for (int p : {0, 2, 63, 64, 70, 127})
        for (int c : {0, 1, 128, 255})
            EXPECT_EQ(sty.GetCol(p, c), colour(p, c)) << p << "/" << c;
    for (auto [p, c] : {std::pair{3, 256}, {3, -1}, {128, 0}, {-1, 0}})
        EXPECT_THROW(sty.GetCol(p, c), std::out_of_range) << p << "/" << c;
    // Row r of tile t starts at (t / 4) * 16384 + r * 256 + (t % 4) * 64.
    for (int t : {0, 3, 5, 15}) {
        sty.RenderTile(t, pic);
        for (int r : {0, 1, 63})
            for (int x = 0; x < 64; x += 7)
                ASSERT_EQ(pic.At(x, r),
                          colour(70, uint8_t(data[std::size_t((t / 4) * 16384 + r * 256 + (t % 4) * 64 + x)])));
    }
    sty.RenderSprite(0, pic, 3);  // offset 1 of the sprite graphics
    EXPECT_EQ(pic.At(0, 0), colour(3, 0x0A));

    // Zero padding ends the walk, and so does an unknown chunk cut off by the end.
    Load(Header() + Chunk("sprb", U16(7) + U16(0x0102) + "\x05") + Chunk("obji", "xy") + Chunk("Spec", "fx") +
         std::string(4, '\0') + "garbage");
    EXPECT_EQ(sty.WordBlock("SPRB"), (std::vector<uint16_t>{7, 0x0102}));
    const auto text = [](std::span<const uint8_t> bytes) { return std::string(bytes.begin(), bytes.end()); };
    EXPECT_EQ(text(sty.ByteBlock("OBJI")) + text(sty.ByteBlock("SPEC")), "xyfx");
    EXPECT_TRUE(Saved() == loaded);
    Load(Header() + Chunk("PALX", U16(5)) + "UNKN" + I32(1000) + "short");
    EXPECT_EQ(Counts(), (std::vector<int>{0, 0, 1, 0}));  // nothing is left of the previous file
    EXPECT_TRUE(Saved() == loaded);
}

TEST_P(Sty, DamagedFilesAreRefusedNamingTheProblemAndKeepThePreviousFile)
{
    const std::pair<std::string, std::string> cases[] = {
        {"GBST\x01", "is too short for a style file (5 bytes; the header alone takes 6)"},
        {"XY", "is too short for a style file (2 bytes; the header alone takes 6)"},
        {"gbst" + U16(700) + Chunk("PALX", U16(1)),
         "is not a style file: it begins with \"gbst\" where a style file has"},
        {"GBMP\xF4\x01", "is not a style file: it begins with \"GBMP\""},
        {Header() + "PALX" + I32(-2) + "abcd", "chunk \"PALX\" at offset 6 has a negative size (-2)"},
        {Header() + "PPAL" + I32(65536) + std::string(100, 'x'),
         "chunk \"PPAL\" at offset 6 says it holds 65536 bytes, but only 100 remain in the file"},
        {Header() + Chunk("SPRX", std::string(8 * 32768 + 7, '\0')), "chunk \"SPRX\" holds 32768 items; at most 32767"},
    };
    for (const auto& [bytes, problem] : cases) {
        RecordingProgress progress;
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { Load(bytes); }), Name() + ": " + problem);
        EXPECT_TRUE(progress.HiddenAtTheEnd()) << problem;
        EXPECT_EQ(Counts(), (std::vector<int>{4, 64, 8, 4}));
        EXPECT_EQ(sty.GetCol(5, 3), Ramp(5, 3));
    }
    EXPECT_THROW(clsSTY().Serialize(), std::logic_error);  // nothing loaded, nothing to save
}

TEST_P(Sty, SpritesTakeTheirOwnOrAChosenPaletteIndexZeroIsMagentaNumbersAreCheckedAndSharingIsFound)
{
    for (int16_t pal : {0, 7}) {  // sprite 2, 3 x 2 at offset 10: its own palette 12 or a chosen one
        const clsSTY::Drawn drawn = sty.RenderSprite(2, pic, pal);
        const int used = pal ? pal : 12;
        EXPECT_EQ(std::vector<int>({drawn.lPal, drawn.lWidth, drawn.lHeight}), std::vector<int>({used, 3, 2}));
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(pic.At(i % 3, i / 3), Ramp(used, uint8_t(SpriteRow(2, i / 3)[std::size_t(i % 3)])));
        EXPECT_EQ(pic.At(3, 0), 0x123456u);
    }
    sty.RenderTile(0, pic);  // index 0 in the top left corner
    EXPECT_EQ(pic.At(0, 0), Ramp(1, 0));
    sty.DrawTransparent(true);
    EXPECT_EQ(sty.Render(0, pic), "Tile");  // Render counts the tiles first
    EXPECT_EQ(sty.Render(4, pic), "Sprite");
    EXPECT_EQ(pic.At(0, 0), 0xFF00FFu);  // sprite 0's first pixel is index 0 too
    EXPECT_EQ(pic.At(1, 0), Ramp(10, 1));

    small.palx = {1, 2, 3, 300, 10};                      // tile 3 names a palette that was not loaded
    small.sprites.push_back({64 * 256 - 2, 3, 1});        // 4: runs 1 byte past the sprite graphics
    small.sprites.push_back({-1, 1, 1});                  // 5: starts before the sprite graphics
    small.sprites.push_back({64 * 256 - 256 - 4, 4, 2});  // 6: ends on the block's last byte, so fits
    Load(small.Build());
    const int clears = pic.clears;
    const std::vector<uint8_t> tile(4096, 1), three(3, 1);
    // Each call's own check; the look-ups they share are checked once.
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { sty.RenderTile(4, pic); }, "tile 4 does not exist (the file has 4 tiles)"},
        {[&] { sty.RenderTile(3, pic); }, "physical palette 300 was not loaded"},
        {[&] { sty.RenderSprite(7, pic, 0); }, "sprite 7 does not exist"},
        {[&] { sty.RenderSprite(4, pic, 1); }, "outside the sprite graphics"},
        {[&] { sty.RenderSprite(5, pic, 1); }, "outside the sprite graphics"},
        {[&] { sty.RenderSprite(1, pic, 0); }, "sprite 1 uses virtual palette entry 5, which was not loaded"},
        {[&] { sty.SaveTile(dir.File("t.bmp"), 3); }, "physical palette 300"},
        {[&] { sty.SaveSprite(dir.File("t.bmp"), 4); }, "virtual palette entry 8"},
        {[&] { sty.ReplaceTile(-1, tile); }, "tile -1 does not exist"},
        {[&] { sty.ReplaceSprite(4, three); }, "outside the sprite graphics"},
        {[&] { sty.SpritesSharingPixels(-1); }, "sprite -1 does not exist"},
    };
    for (const auto& [call, problem] : cases) {
        EXPECT_PRED2(Holds, Thrown<std::out_of_range>(call), problem);
        EXPECT_EQ(pic.clears, clears);
    }
    EXPECT_EQ(Thrown<std::invalid_argument>([&] { sty.ReplaceTile(0, std::span(tile).first(4095)); }),
              "tile 0 takes 4096 colour indices, not 4095");
    EXPECT_EQ(Thrown<std::invalid_argument>([&] { sty.ReplaceSprite(0, tile); }),
              "sprite 0 takes 15 colour indices, not 4096");
    EXPECT_TRUE(Saved() == loaded);  // nothing refused changed a byte
    EXPECT_FALSE(std::filesystem::exists(dir.At("t.bmp")));
    EXPECT_EQ(sty.RenderSprite(6, pic, 1).lHeight, 2);

    // Sprites sharing pixel bytes, found row by row: sprite 0, 5 x 3 at 0, covers bytes
    // 0-4, 256-260 and 512-516.
    small.sprites = {{0, 5, 3},    {4, 3, 1},   {5, 3, 1},   {258, 1, 1},
                     {250, 10, 2}, {517, 1, 1}, {600, 0, 9}, {100, 100, 4}};
    Load(small.Build());
    const std::pair<int, std::vector<int>> sharing[] = {{0, {1, 3, 4}}, {4, {0, 3}}, {6, {}}, {7, {}}, {5, {}}};
    for (const auto& [sprite, others] : sharing)
        EXPECT_EQ(sty.SpritesSharingPixels(sprite), others) << sprite;
}

TEST_P(Sty, ExportsAreZeroPaddedRowsBottomUpReplacingAnyOldFileAndAReplacementChangesOnlyItsPixels)
{
    // The 54 header bytes of an 8-bit bitmap, written out field by field.
    auto header = [](int32_t width, int32_t height, int32_t imageSize) {
        return "BM" + I32(1078 + imageSize) + I32(0) + I32(1078) + I32(40) + I32(width) + I32(height) + U16(1) +
               U16(8) + I32(0) + I32(imageSize) + I32(0) + I32(0) + I32(256) + I32(256);
    };
    const std::string file = dir.File("out.bmp");
    TempDir::Write(file, std::string(20000, 'x'));  // longer than any export: nothing of it may stay
    sty.SaveTile(file, 2);                          // tile 2 uses physical palette 3
    std::string tile = header(64, 64, 4096) + small.palettes[3];
    for (int row = 63; row >= 0; --row)
        tile += small.tiles[2].substr(static_cast<std::size_t>(row * 64), 64);
    EXPECT_TRUE(TempDir::Read(file) == tile);
    sty.RenderSprite(0, pic, 33);  // viewing with another palette changes nothing in the export
    sty.SaveSprite(file, 0);       // 5 x 3: rows padded to 8 with zeros
    std::string sprite = header(5, 3, 24) + small.palettes[10];
    for (int y = 2; y >= 0; --y)
        sprite += SpriteRow(0, y) + std::string(3, '\0');
    EXPECT_EQ(TempDir::Read(file), sprite);
    std::string pal = "JASC-PAL\r\n0100\r\n256\r\n";
    for (int c = 0; c < 256; ++c)  // red, green, blue of palette 10: 255 - c, 40, c
        pal += std::to_string(255 - c) + " 40 " + std::to_string(c) + "\r\n";
    SavePal(file, sty, 10);
    EXPECT_EQ(TempDir::Read(file), pal);
    EXPECT_THROW(sty.SaveTile(dir.File("no such folder/Tile0.bmp"), 0), FileError);

    // A replacement changes its pixels in the shown chunk and no other byte.
    std::string bytes = small.Build();
    bytes.insert(6, Chunk("TILE", std::string(4 * 4096, '\x01')));  // shadowed by SmallStyle's own
    Load(bytes);
    const std::size_t tilesAt = bytes.find("TILE", 7) + 8, spritesAt = bytes.rfind("SPRG") + 8;
    std::vector<uint8_t> newTile(4096), disc(40 * 40);
    for (std::size_t i = 0; i < newTile.size(); ++i)
        newTile[i] = static_cast<uint8_t>(i * 7 / 3);
    for (std::size_t i = 0; i < disc.size(); ++i)
        disc[i] = static_cast<uint8_t>(255 - i % 200);
    sty.ReplaceTile(3, newTile);  // column 3 of the first group of four
    sty.ReplaceSprite(3, disc);
    for (int i = 0; i < 4096; ++i)
        bytes[tilesAt + std::size_t(i / 64 * 256 + 192 + i % 64)] = static_cast<char>(newTile[std::size_t(i)]);
    for (int i = 0; i < 1600; ++i)  // 40 x 40 at row 4, column 128
        bytes[spritesAt + std::size_t((4 + i / 40) * 256 + 128 + i % 40)] = static_cast<char>(disc[std::size_t(i)]);
    EXPECT_TRUE(sty.TileIndices(3) == newTile && sty.SpriteIndices(3) == disc && Saved() == bytes);
    sty.RenderTile(3, pic);
    EXPECT_EQ(pic.At(5, 9), Ramp(4, newTile[9 * 64 + 5]));
    // Saved over the file it came from: the old file is the backup.
    const std::string styFile = dir.File("s.sty");
    TempDir::Write(styFile, loaded);
    sty.SaveSTY(styFile);
    EXPECT_TRUE(TempDir::Read(styFile) == bytes && TempDir::Read(styFile + ".bak") == loaded);
    EXPECT_THROW(sty.SaveSTY(dir.File("no such folder/s.sty")), FileError);
}
