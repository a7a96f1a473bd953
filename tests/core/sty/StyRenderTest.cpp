#include <gtest/gtest.h>

#include "models/sty/clsSTY.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/StyRecordingSurface.h"
#include "tests/support/TempDir.h"

using namespace sty_test;

namespace {

class StyRender : public ::testing::Test {
protected:
    void SetUp() override { Load(small.Build()); }

    void Load(const std::string& bytes)
    {
        TempDir::Write(dir.File("s.sty"), bytes);
        sty.LoadSTY(dir.File("s.sty"));
    }

    // Colour c of palette p in SmallStyle: red 255 - c, green p * 4, blue c.
    static uint32_t Ramp(int p, int c) { return uint32_t(255 - c) << 16 | uint32_t(p * 4) << 8 | uint32_t(c); }

    uint8_t SpriteByte(int offset) const { return static_cast<uint8_t>(small.spriteGraphics[static_cast<std::size_t>(offset)]); }

    TempDir dir;
    StyleFile small = SmallStyle();
    clsSTY sty;
    StyRecordingSurface pic;
};

}  // namespace

TEST_F(StyRender, GetColSwapsTheStoredBlueGreenRedOrder)
{
    Palette pal = RampPalette(0);
    pal.replace(4 * 7, 4, {10, 20, 30, 40});  // colour 7 stored as blue 10, green 20, red 30, fourth 40
    std::vector<Palette> page(64, RampPalette(0));
    page[3] = pal;
    Load(Header() + Chunk("PPAL", PaletteData(page)));
    EXPECT_EQ(sty.GetCol(3, 7), 0x1E140Au);
    EXPECT_THROW(sty.GetCol(3, 256), std::out_of_range);
    EXPECT_THROW(sty.GetCol(3, -1), std::out_of_range);
    EXPECT_THROW(sty.GetCol(64, 0), std::out_of_range);
    EXPECT_THROW(sty.GetCol(-1, 0), std::out_of_range);
}

TEST_F(StyRender, TileIsDrawnRowByRowAfterOneClearWithItsVirtualPalette)
{
    sty.RenderTile(2, pic);
    EXPECT_EQ(sty.lPal(), 3);  // virtual palette 2 names physical palette 3
    EXPECT_EQ(sty.lWidth(), 64);
    EXPECT_EQ(sty.lHeight(), 64);
    EXPECT_EQ(pic.clears, 1);
    EXPECT_EQ(pic.clearsBeforeFirstPixel, 1);
    ASSERT_EQ(pic.pixelsSet, 4096);
    for (int i = 0; i < 4096; ++i)
        ASSERT_EQ(pic.order[static_cast<std::size_t>(i)], (i / 64) * StyRecordingSurface::kSide + i % 64);
    for (int y = 0; y < 64; y += 9)
        for (int x = 0; x < 64; x += 7)
            ASSERT_EQ(pic.At(x, y), Ramp(3, SmallTilePixel(2, x, y))) << x << "," << y;
}

TEST_F(StyRender, ColourIndexZeroIsMagentaOnlyWhenDrawingTransparent)
{
    ASSERT_EQ(SmallTilePixel(0, 0, 0), 0);
    ASSERT_NE(SmallTilePixel(0, 20, 20), 0);
    sty.RenderTile(0, pic);
    EXPECT_EQ(pic.At(0, 0), Ramp(1, 0));
    const uint32_t other = pic.At(20, 20);

    sty.DrawTransparent(true);
    EXPECT_EQ(pic.clears, 1);  // switching draws nothing by itself
    sty.RenderTile(0, pic);
    EXPECT_EQ(pic.At(0, 0), 0xFF00FFu);
    EXPECT_EQ(pic.At(20, 20), other);

    sty.RenderSprite(0, pic, 0);  // sprite 0's first pixel is index 0 as well
    EXPECT_EQ(pic.At(0, 0), 0xFF00FFu);
    sty.DrawTransparent(false);
    sty.RenderSprite(0, pic, 0);
    EXPECT_EQ(pic.At(0, 0), Ramp(10, 0));
}

TEST_F(StyRender, SpriteRowsAre256BytesApartAndAChosenPaletteOverridesItsOwn)
{
    sty.RenderSprite(2, pic, 0);  // 3 x 2 at offset 10
    EXPECT_EQ(sty.lPal(), 12);    // virtual palette 4 tiles + 2
    EXPECT_EQ(sty.lWidth(), 3);
    EXPECT_EQ(sty.lHeight(), 2);
    EXPECT_EQ(pic.pixelsSet, 6);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(pic.At(x, y), Ramp(12, SpriteByte(10 + y * 256 + x))) << x << "," << y;
    EXPECT_EQ(pic.At(3, 0), StyRecordingSurface::kBackground);

    sty.RenderSprite(2, pic, 7);
    EXPECT_EQ(sty.lPal(), 7);
    EXPECT_EQ(pic.At(2, 1), Ramp(7, SpriteByte(10 + 256 + 2)));
}

TEST_F(StyRender, EmptySpriteClearsAndDrawsNothing)
{
    small.sprites.push_back({-5000, 0, 9});  // never read, so its offset does not matter
    small.palx.push_back(20);
    Load(small.Build());
    sty.RenderSprite(4, pic, 0);
    EXPECT_EQ(pic.clears, 1);
    EXPECT_EQ(pic.pixelsSet, 0);
    EXPECT_EQ(sty.lWidth(), 0);
    EXPECT_EQ(sty.lHeight(), 9);
    EXPECT_EQ(sty.lPal(), 20);
}

TEST_F(StyRender, RenderCountsTilesFirstThenSprites)
{
    EXPECT_EQ(sty.Render(3, pic), "Tile");
    EXPECT_EQ(sty.lPal(), 4);
    EXPECT_EQ(sty.Render(4, pic), "Sprite");
    EXPECT_EQ(sty.lPal(), 10);
    EXPECT_EQ(sty.lWidth(), 5);
    EXPECT_THROW(sty.Render(8, pic), std::out_of_range);
}

TEST_F(StyRender, NumbersOutsideWhatWasLoadedAreRefusedBeforeAnythingChanges)
{
    small.palx = {1, 2, 3, 99};                           // tile 3 names a palette that was not loaded
    small.sprites.push_back({64 * 256 - 2, 3, 1});        // 4: runs 1 byte past the sprite graphics
    small.sprites.push_back({-1, 1, 1});                  // 5: starts before the sprite graphics
    small.sprites.push_back({64 * 256 - 256 - 4, 4, 2});  // 6: ends on the block's last byte, so fits
    small.palx.resize(small.tiles.size() + small.sprites.size(), 5);
    Load(small.Build());
    sty.RenderTile(1, pic);
    int clears = pic.clears;

    auto refused = [&](auto render, const std::string& fragment) {
        try {
            render();
            ADD_FAILURE() << "not refused: " << fragment;
        } catch (const std::out_of_range& e) {
            EXPECT_NE(std::string(e.what()).find(fragment), std::string::npos) << e.what();
        }
        EXPECT_EQ(pic.clears, clears);
        EXPECT_EQ(sty.lPal(), 2);
        EXPECT_EQ(sty.lWidth(), 64);
    };
    refused([&] { sty.RenderTile(4, pic); }, "tile 4 does not exist (the file has 4 tiles)");
    refused([&] { sty.RenderTile(-1, pic); }, "tile -1");
    refused([&] { sty.RenderTile(3, pic); }, "physical palette 99 was not loaded");
    refused([&] { sty.RenderSprite(7, pic, 0); }, "sprite 7 does not exist");
    refused([&] { sty.RenderSprite(4, pic, 0); }, "outside the sprite graphics");
    refused([&] { sty.RenderSprite(5, pic, 0); }, "outside the sprite graphics");
    refused([&] { sty.RenderSprite(0, pic, 64); }, "physical palette 64");
    refused([&] { sty.RenderSprite(0, pic, -3); }, "physical palette -3");
    refused([&] { sty.SaveTile(dir.File("t.bmp"), 3); }, "physical palette 99");
    refused([&] { sty.SaveSprite(dir.File("s.bmp"), 4); }, "outside the sprite graphics");

    sty.RenderSprite(6, pic, 0);
    EXPECT_EQ(sty.lHeight(), 2);

    small.palx.resize(9);  // sprite 5 (entry 9) and beyond have no virtual palette
    Load(small.Build());
    sty.RenderTile(1, pic);
    clears = pic.clears;
    refused([&] { sty.RenderSprite(5, pic, 0); }, "uses virtual palette entry 9, which was not loaded");
    refused([&] { sty.SaveSprite(dir.File("s.bmp"), 5); }, "virtual palette entry 9");
    EXPECT_FALSE(std::filesystem::exists(dir.File("t.bmp")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("s.bmp")));
}
