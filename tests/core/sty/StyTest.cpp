#include <gtest/gtest.h>

#include <filesystem>

#include "core/common/BitmapHeader.h"
#include "core/io/FileError.h"
#include "core/sty/StyExport.h"
#include "core/sty/clsSTY.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/StyRecordingSurface.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

using namespace sty_test;

namespace {

// 64 palettes whose colour c is grey c, so that a pixel shows its own index.
std::string GreyPage()
{
    Palette pal;
    for (int c = 0; c < 256; ++c)
        pal += {static_cast<char>(c), static_cast<char>(c), static_cast<char>(c), 0};
    return PaletteData(std::vector<Palette>(64, pal));
}

uint32_t Grey(int c)
{
    return uint32_t(c) * 0x010101;
}

// Colour c of palette p in SmallStyle: red 255 - c, green p * 4, blue c.
uint32_t Ramp(int p, int c)
{
    return uint32_t(255 - c) << 16 | uint32_t(p * 4) << 8 | uint32_t(c);
}

class Sty : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitBitmapHeader();
        Load(small.Build());
    }
    void Load(const std::string& bytes)
    {
        TempDir::Write(dir.File("s.sty"), bytes);
        sty.LoadSTY(dir.File("s.sty"));
    }
    std::vector<int> Counts() const
    {
        return {sty.GetNumOfTiles(), sty.GetNumOfPals(), sty.GetNumOfPalx(), sty.GetNumOfSprx()};
    }
    std::string SpriteRow(int s, int y) const
    {
        const SpriteEntry& e = small.sprites[static_cast<std::size_t>(s)];
        return small.spriteGraphics.substr(static_cast<std::size_t>(e.offset + y * 256), e.width);
    }

    TempDir dir;
    StyleFile small = SmallStyle();
    clsSTY sty;
    StyRecordingSurface pic;
};

}  // namespace

TEST_F(Sty, WalksChunksInAnyOrderAndCaseAndReportsEachOne)
{
    const std::string bytes = Header()                              // 0..5
                              + Chunk("PALX", PalxData({3, 1}))     // type 6..9, data 14..17
                              + Chunk("ZZZZ", std::string(7, 'x'))  // unknown, type 18..21, data 26..32
                              + Chunk("ppal", GreyPage())           // type 33..36, data 41..65576
                              + Chunk("TiLe", TileData({FilledTile(9), FilledTile(8), FilledTile(7), FilledTile(6)}));
    RecordingProgress progress;
    Load(bytes);
    EXPECT_EQ(Counts(), (std::vector<int>{4, 64, 2, 0}));  // nothing is left of the previous file
    const std::vector<RecordingProgress::Call> expected = {{'S', 1, static_cast<double>(bytes.size()), "Loading..."},
                                                           {'U', 10, 0, "Loading Section PALX..."},
                                                           {'U', 22, 0, "Loading Section ZZZZ..."},
                                                           {'U', 37, 0, "Loading Section ppal..."},  // shown as read
                                                           {'U', 65581, 0, "Loading Section TiLe..."},
                                                           {'H', 0, 0, ""}};
    EXPECT_EQ(progress.calls, expected);
    EXPECT_EQ(sty.RenderTile(1, pic).lPal, 1);  // the virtual palettes, read before the tiles, serve them
    EXPECT_EQ(pic.At(63, 63), Grey(8));
    Load(Header() + Chunk("PALX", PalxData({5})));  // a file without tiles shows none of the previous file's
    EXPECT_EQ(Counts(), (std::vector<int>{0, 0, 1, 0}));
    // Blocks kept as they are; zero padding ends the walk, and so does an unknown chunk cut off by the end.
    Load(Header() + Chunk("sprb", U16(7) + U16(0x0102)) + Chunk("obji", "xy") + std::string(4, '\0') + "garbage");
    EXPECT_EQ(sty.WordBlock("SPRB"), (std::vector<uint16_t>{7, 0x0102}));
    EXPECT_EQ(sty.ByteBlock("OBJI"), (std::vector<uint8_t>{'x', 'y'}));
    Load(Header() + Chunk("PALX", PalxData({5, 6})) + ChunkHeader("UNKN", 1000) + "short");
    EXPECT_EQ(Counts(), (std::vector<int>{0, 0, 2, 0}));
}

TEST_F(Sty, TilesAndPalettesComeFromTheirInterleavedOffsets)
{
    std::string data(131072, '\0');  // 16 tiles, or 128 palettes in two pages; byte i unlike its neighbours
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>((i * 31 + i / 256 * 7 + 3) % 256);
    Load(Header() + Chunk("TILE", data.substr(0, 65536)) + Chunk("PPAL", data) +
         Chunk("PALX", PalxData(std::vector<int16_t>(16, 70))));
    ASSERT_EQ(Counts(), (std::vector<int>{16, 128, 16, 0}));
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
                ASSERT_EQ(
                    pic.At(x, r),
                    colour(70, uint8_t(data[static_cast<std::size_t>((t / 4) * 16384 + r * 256 + (t % 4) * 64 + x)])));
    }
}

TEST_F(Sty, ChunksOfPartialItemsKeepWhatFitsAndSkipTheRestBySize)
{
    std::vector<Tile> eight;
    for (int t = 0; t < 8; ++t)
        eight.push_back(FilledTile(static_cast<uint8_t>(t + 1)));
    Load(Header() + Chunk("TILE", TileData(eight) + std::string(4096 + 5, '\x7F'))  // 9 tiles and 5 bytes: 2 groups
         + Chunk("PPAL", GreyPage() + std::string(1024 + 3, '\x7F'))                // 65 palettes: 1 page
         + Chunk("PALX", PalxData({0, 1, 2, 3, 4, 5, 6, 7}) + "\x7F")               // 8 entries and a byte
         + Chunk("SPRX", SprxData({{0, 1, 1}, {1, 1, 1}}) + "\x7F")                 // 2 entries and a byte
         + Chunk("SPRG", "\x09\x0A"));
    EXPECT_EQ(Counts(), (std::vector<int>{8, 64, 8, 2}));
    sty.RenderTile(7, pic);  // each following chunk was found exactly where its predecessor's size said
    EXPECT_EQ(pic.At(0, 0), Grey(8));
    sty.RenderSprite(1, pic, 3);
    EXPECT_EQ(pic.At(0, 0), Grey(0x0A));
}

TEST_F(Sty, DamagedFilesAreRefusedNamingTheProblemAndKeepThePreviousFile)
{
    const std::pair<std::string, std::string> cases[] = {
        {"", "cannot be opened"},  // not created
        {"GBST\x01", "too short"},
        {Header() + "TI", "inside the chunk header"},
        {Header() + "TILE" + "\x10\x00", "inside the header of chunk \"TILE\""},
        {Header() + ChunkHeader("PALX", -2) + "abcd", "negative size (-2)"},
        {Header() + ChunkHeader("WHAT", -1), "negative size"},
        {Header() + ChunkHeader("PPAL", 65536) + std::string(100, 'x'),
         "says it holds 65536 bytes, but only 100 remain"},
        {Header() + ChunkHeader("dels", 9) + "12345678", "\"dels\""},
        {Header() + Chunk("PALX", std::string(2 * 32768, '\0')), "32768 items"},
        {Header() + Chunk("SPRX", std::string(8 * 32768 + 7, '\0')), "at most 32767"},
    };
    int n = 0;
    for (const auto& [bytes, problem] : cases) {
        const std::string file = dir.File(std::to_string(++n) + ".sty");
        if (!bytes.empty())
            TempDir::Write(file, bytes);
        RecordingProgress progress;
        const std::string error = Thrown<FileError>([&] { sty.LoadSTY(file); });
        EXPECT_EQ(error.find(file + ": "), 0u) << error;
        EXPECT_PRED2(Holds, error, problem);
        EXPECT_TRUE(progress.calls.empty() || progress.calls.back().kind == 'H') << problem;
        EXPECT_EQ(Counts(), (std::vector<int>{4, 64, 8, 4}));
        EXPECT_EQ(sty.GetCol(5, 3), Ramp(5, 3));
    }
}

TEST_F(Sty, PixelsAreTheirPaletteColourAndIndexZeroIsMagentaOnlyWhenTransparent)
{
    const clsSTY::Drawn tile = sty.RenderTile(2, pic);
    EXPECT_EQ(std::vector<int>({tile.lPal, tile.lWidth, tile.lHeight}), std::vector<int>({3, 64, 64}));
    EXPECT_EQ(pic.clears, 1);  // one clear, then every pixel once
    EXPECT_EQ(pic.pixelsSet, 4096);
    for (int y = 0; y < 64; y += 9)
        for (int x = 0; x < 64; x += 7)
            ASSERT_EQ(pic.At(x, y), Ramp(3, SmallTilePixel(2, x, y))) << x << "," << y;
    // Sprite 2 (3 x 2 at offset 10): rows 256 bytes apart, with its own palette 12 or a chosen one.
    for (int16_t pal : {0, 7}) {
        const clsSTY::Drawn sprite = sty.RenderSprite(2, pic, pal);
        EXPECT_EQ(std::vector<int>({sprite.lPal, sprite.lWidth, sprite.lHeight}),
                  std::vector<int>({pal ? pal : 12, 3, 2}));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                EXPECT_EQ(pic.At(x, y), Ramp(pal ? pal : 12, uint8_t(SpriteRow(2, y)[static_cast<std::size_t>(x)])));
        EXPECT_EQ(pic.At(3, 0), StyRecordingSurface::kBackground);
    }
    EXPECT_EQ(pic.pixelsSet, 4096 + 12);

    sty.RenderTile(0, pic);  // index 0 in the top left corner
    EXPECT_EQ(pic.At(0, 0), Ramp(1, 0));
    const int clears = pic.clears;
    sty.DrawTransparent(true);
    EXPECT_EQ(pic.clears, clears);  // switching draws nothing by itself
    sty.RenderTile(0, pic);
    EXPECT_EQ(pic.At(0, 0), 0xFF00FFu);
    EXPECT_EQ(pic.At(20, 20), Ramp(1, SmallTilePixel(0, 20, 20)));
    sty.RenderSprite(0, pic, 0);  // sprite 0's first pixel is index 0 as well
    EXPECT_EQ(pic.At(0, 0), 0xFF00FFu);
    sty.DrawTransparent(false);
    EXPECT_EQ(sty.Render(3, pic), "Tile");  // Render counts the tiles first
    EXPECT_EQ(sty.Render(4, pic), "Sprite");
    EXPECT_EQ(pic.At(0, 0), Ramp(10, 0));
}

TEST_F(Sty, NumbersOutsideWhatWasLoadedAreRefusedBeforeAnythingChanges)
{
    small.palx = {1, 2, 3, 99};                           // tile 3 names a palette that was not loaded
    small.sprites.push_back({64 * 256 - 2, 3, 1});        // 4: runs 1 byte past the sprite graphics
    small.sprites.push_back({-1, 1, 1});                  // 5: starts before the sprite graphics
    small.sprites.push_back({64 * 256 - 256 - 4, 4, 2});  // 6: ends on the block's last byte, so fits
    small.palx.resize(9, 5);                              // sprite 5 (entry 9) has no virtual palette
    Load(small.Build());
    sty.RenderTile(1, pic);
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] { sty.RenderTile(4, pic); }, "tile 4 does not exist (the file has 4 tiles)"},
        {[&] { sty.RenderTile(-1, pic); }, "tile -1"},
        {[&] { sty.RenderTile(3, pic); }, "physical palette 99 was not loaded"},
        {[&] { sty.RenderSprite(7, pic, 0); }, "sprite 7 does not exist"},
        {[&] { sty.RenderSprite(4, pic, 0); }, "outside the sprite graphics"},
        {[&] { sty.RenderSprite(5, pic, 1); }, "outside the sprite graphics"},
        {[&] { sty.RenderSprite(0, pic, 64); }, "physical palette 64"},
        {[&] { sty.RenderSprite(0, pic, -3); }, "physical palette -3"},
        {[&] { sty.RenderSprite(5, pic, 0); }, "uses virtual palette entry 9, which was not loaded"},
        {[&] { sty.Render(11, pic); }, "sprite 7"},
        {[&] { sty.SaveTile(dir.File("t.bmp"), 3); }, "physical palette 99"},
        {[&] { sty.SaveSprite(dir.File("t.bmp"), 4); }, "outside the sprite graphics"},
        {[&] { sty.SaveSprite(dir.File("t.bmp"), 5); }, "virtual palette entry 9"},
    };
    for (const auto& [call, problem] : cases) {
        EXPECT_PRED2(Holds, Thrown<std::out_of_range>(call), problem);
        EXPECT_EQ(pic.clears, 1);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.bmp")));
    EXPECT_EQ(sty.RenderSprite(6, pic, 1).lHeight, 2);
}

TEST_F(Sty, BitmapsAreHeaderPaletteAndZeroPaddedRowsBottomUp)
{
    // The 54 header bytes of an 8-bit bitmap, written out field by field.
    auto header = [](int32_t width, int32_t height, int32_t imageSize) {
        return "BM" + I32(1078 + imageSize) + I32(0) + I32(1078) + I32(40) + I32(width) + I32(height) + U16(1) +
               U16(8) + I32(0) + I32(imageSize) + I32(0) + I32(0) + I32(256) + I32(256);
    };
    small.palettes[10].replace(4 * 7, 4, {10, 20, 30, 40});  // sprite 0's colour 7 as stored
    Load(small.Build());
    sty.SaveTile(dir.File("Tile2.bmp"), 2);  // tile 2 uses physical palette 3
    std::string tile = header(64, 64, 4096) + small.palettes[3];
    for (int row = 63; row >= 0; --row)
        tile += small.tiles[2].substr(static_cast<std::size_t>(row * 64), 64);
    ASSERT_EQ(tile.size(), 5174u);
    EXPECT_TRUE(TempDir::Read(dir.File("Tile2.bmp")) == tile);

    sty.RenderSprite(0, pic, 33);                // viewing with another palette changes nothing in the export
    sty.SaveSprite(dir.File("Sprite0.bmp"), 0);  // 5 x 3: rows padded to 8 with zeros
    std::string sprite = header(5, 3, 24) + small.palettes[10];
    for (int y = 2; y >= 0; --y)
        sprite += SpriteRow(0, y) + std::string(3, '\0');
    ASSERT_EQ(sprite.size(), 1102u);
    EXPECT_EQ(TempDir::Read(dir.File("Sprite0.bmp")), sprite);
    EXPECT_EQ(sprite.substr(54 + 7 * 4, 4), std::string({10, 20, 30, 40}));
    sty.SaveSprite(dir.File("Sprite0.bmp"), 1);  // 64 wide: no padding
    EXPECT_EQ(TempDir::Read(dir.File("Sprite0.bmp")),
              header(64, 2, 128) + small.palettes[11] + SpriteRow(1, 1) + SpriteRow(1, 0));
}

TEST_F(Sty, ExportsReplaceAnExistingFileCompletelyOrSayWhyNot)
{
    std::string pal = "JASC-PAL\r\n0100\r\n256\r\n";
    for (int c = 0; c < 256; ++c)  // red, green, blue of palette 10: 255 - c, 40, c
        pal += std::to_string(255 - c) + " 40 " + std::to_string(c) + "\r\n";
    EXPECT_EQ(JascPalText(sty, 10), pal);
    EXPECT_THROW(JascPalText(sty, 64), std::out_of_range);
    const std::string file = dir.File("old.bmp"), nowhere = dir.File("no such folder/Tile0.bmp");
    const std::pair<std::function<void(const std::string&)>, std::size_t> saves[] = {
        {[&](const std::string& f) { sty.SaveSprite(f, 2); }, 1078 + 8},  // 3 x 2 sprite
        {[&](const std::string& f) { sty.SaveTile(f, 0); }, 5174},
        {[&](const std::string& f) { SavePal(f, sty, 10); }, pal.size()},
    };
    for (const auto& [save, size] : saves) {
        TempDir::Write(file, std::string(20000, 'x'));
        save(file);
        EXPECT_EQ(TempDir::Read(file).size(), size);
        EXPECT_EQ(Thrown<FileError>([&] { save(nowhere); }).find(nowhere + ": "), 0u);
    }
    EXPECT_EQ(TempDir::Read(file), pal);
    EXPECT_FALSE(std::filesystem::exists(dir.File("no such folder")));
}
