#include <gtest/gtest.h>

#include "models/io/FileError.h"
#include "models/sty/clsSTY.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/StyRecordingSurface.h"
#include "tests/support/TempDir.h"

using namespace sty_test;

namespace {

void LoadBytes(clsSTY& sty, const TempDir& dir, const std::string& bytes, const std::string& name = "a.sty")
{
    TempDir::Write(dir.File(name), bytes);
    sty.LoadSTY(dir.File(name));
}

// Chunk data whose byte i is a value unlikely to repeat at a nearby offset.
std::string Numbered(std::size_t size)
{
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>((i * 31 + i / 256 * 7 + 3) % 256);
    return data;
}

std::vector<Palette> GreyPalettes(std::size_t n)
{
    std::vector<Palette> out;
    for (std::size_t p = 0; p < n; ++p) {
        Palette pal;
        for (int c = 0; c < 256; ++c)  // colour c is c, c, c: a pixel shows its own index
            pal += {static_cast<char>(c), static_cast<char>(c), static_cast<char>(c), 0};
        out.push_back(pal);
    }
    return out;
}

uint32_t Grey(uint8_t c)
{
    return uint32_t{c} * 0x010101;
}

}  // namespace

TEST(StyLoad, WalksChunksInAnyOrderAndCaseAndReportsEachOne)
{
    TempDir dir;
    const std::string bytes = Header()                                       // 0..5
                              + Chunk("PALX", PalxData({3, 1}))              // type 6..9, data 14..17
                              + Chunk("ZZZZ", std::string(7, 'x'))           // unknown, type 18..21, data 26..32
                              + Chunk("ppal", PaletteData(GreyPalettes(64)))  // type 33..36, data 41..65576
                              + Chunk("TiLe", TileData({FilledTile(9), FilledTile(8), FilledTile(7), FilledTile(6)}));
    RecordingProgress progress;
    clsSTY sty;
    LoadBytes(sty, dir, bytes);

    EXPECT_EQ(sty.GetNumOfTiles(), 4);
    EXPECT_EQ(sty.GetNumOfPals(), 64);
    EXPECT_EQ(sty.GetNumOfPalx(), 2);
    EXPECT_EQ(sty.GetNumOfSprx(), 0);
    const std::vector<RecordingProgress::Call> expected = {
        {'S', 1, static_cast<double>(bytes.size()), "Loading..."},
        {'U', 10, 0, "Loading Section PALX..."},
        {'U', 22, 0, "Loading Section ZZZZ..."},
        {'U', 37, 0, "Loading Section ppal..."},  // shown as read
        {'U', 65581, 0, "Loading Section TiLe..."},
        {'H', 0, 0, ""},
    };
    EXPECT_EQ(progress.calls, expected);

    // The virtual palettes, read before the tiles, serve them: tile 1 uses palette 1.
    StyRecordingSurface pic;
    sty.RenderTile(1, pic);
    EXPECT_EQ(sty.lPal(), 1);
    EXPECT_EQ(pic.At(63, 63), Grey(8));
}

TEST(StyLoad, TilesAndPalettesComeFromTheirInterleavedOffsets)
{
    TempDir dir;
    const std::string tileData = Numbered(65536);  // 16 tiles
    const std::string palData = Numbered(65536);   // 64 palettes
    std::vector<int16_t> palx(16, 0);
    clsSTY sty;
    LoadBytes(sty, dir,
              Header() + Chunk("TILE", tileData) + Chunk("PPAL", PaletteData(GreyPalettes(64))) +
                  Chunk("PALX", PalxData(palx)));
    ASSERT_EQ(sty.GetNumOfTiles(), 16);

    // Tile 5's row 0 is chunk bytes 16384 + 64 to 16384 + 127; its row r starts 256 bytes later per row.
    StyRecordingSurface pic;
    sty.RenderTile(5, pic);
    for (int x = 0; x < 64; ++x)
        ASSERT_EQ(pic.At(x, 0), Grey(static_cast<uint8_t>(tileData[16384 + 64 + x]))) << x;
    for (int tile : {0, 3, 5, 15})
        for (int r : {0, 1, 63}) {
            sty.RenderTile(tile, pic);
            const std::size_t start = static_cast<std::size_t>((tile / 4) * 16384 + r * 256 + (tile % 4) * 64);
            for (int x = 0; x < 64; x += 21)
                ASSERT_EQ(pic.At(x, r), Grey(static_cast<uint8_t>(tileData[start + static_cast<std::size_t>(x)])));
        }

    // Colour 1 of palette 2 is the 4 bytes at chunk offset 264 (blue, green, red, fourth).
    LoadBytes(sty, dir, Header() + Chunk("PPAL", palData));
    ASSERT_EQ(sty.GetNumOfPals(), 64);
    auto colourAt = [&](std::size_t at) {
        return uint32_t{static_cast<uint8_t>(palData[at + 2])} << 16 |
               uint32_t{static_cast<uint8_t>(palData[at + 1])} << 8 | static_cast<uint8_t>(palData[at]);
    };
    EXPECT_EQ(sty.GetCol(2, 1), colourAt(264));
    for (int p : {0, 2, 63})
        for (int c : {0, 1, 128, 255})
            EXPECT_EQ(sty.GetCol(p, c), colourAt(static_cast<std::size_t>(c * 256 + p * 4))) << p << "/" << c;
}

TEST(StyLoad, SpriteIndexEntriesAndKeptBlocks)
{
    TempDir dir;
    clsSTY sty;
    LoadBytes(sty, dir,
              Header() + Chunk("SPRX", SprxData({{0, 2, 1, 0xFFFF}, {256, 1, 2, 0x1234}}))  // 16 bytes, 2 entries
                  + Chunk("SPRG", std::string(768, '\x05')) + Chunk("PPAL", PaletteData(GreyPalettes(64))) +
                  Chunk("PALX", PalxData({0, 0})) + Chunk("sprb", U16(7) + U16(0x0102)) + Chunk("FONB", U16(9)) +
                  Chunk("DELS", "abc") + Chunk("obji", "xy") + Chunk("CARI", ""));
    EXPECT_EQ(sty.GetNumOfSprx(), 2);
    StyRecordingSurface pic;
    sty.RenderSprite(1, pic, 0);
    EXPECT_EQ(sty.lWidth(), 1);  // the two bytes after the height are not part of the entry
    EXPECT_EQ(sty.lHeight(), 2);
    EXPECT_EQ(sty.WordBlock("SPRB"), (std::vector<uint16_t>{7, 0x0102}));
    EXPECT_EQ(sty.WordBlock("FONB"), (std::vector<uint16_t>{9}));
    EXPECT_EQ(sty.ByteBlock("DELS"), (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_EQ(sty.ByteBlock("OBJI"), (std::vector<uint8_t>{'x', 'y'}));
    EXPECT_TRUE(sty.ByteBlock("CARI").empty());
    EXPECT_TRUE(sty.ByteBlock("RECY").empty());
}

TEST(StyLoad, StopsAtZeroPaddingAndAtAnUnknownChunkRunningPastTheEnd)
{
    TempDir dir;
    clsSTY sty;
    const std::string tiles = Chunk("TILE", TileData({FilledTile(1), FilledTile(2), FilledTile(3), FilledTile(4)}));
    LoadBytes(sty, dir, Header() + tiles + std::string(4, '\0') + "garbage after the padding");
    EXPECT_EQ(sty.GetNumOfTiles(), 4);

    // Nothing we keep is lost when a chunk we do not read is cut off.
    LoadBytes(sty, dir, Header() + Chunk("PALX", PalxData({5})) + ChunkHeader("UNKN", 1000) + "short");
    EXPECT_EQ(sty.GetNumOfPalx(), 1);
    EXPECT_EQ(sty.GetNumOfTiles(), 0);
}

TEST(StyLoad, ChunksOfPartialItemsKeepWhatFitsAndSkipTheRestBySize)
{
    TempDir dir;
    std::vector<Tile> eight;
    for (int t = 0; t < 8; ++t)
        eight.push_back(FilledTile(static_cast<uint8_t>(t + 1)));
    const std::string bytes =
        Header() + Chunk("TILE", TileData(eight) + std::string(4096 + 5, '\x7F'))  // 9 tiles and 5 bytes: 2 whole groups
        + Chunk("PPAL", PaletteData(GreyPalettes(64)) + std::string(1024 + 3, '\x7F'))  // 65 palettes: 1 whole page
        + Chunk("PALX", PalxData({0, 1, 2, 3, 4, 5, 6, 7}) + "\x7F")                     // 8 entries and a byte
        + Chunk("SPRX", SprxData({{0, 1, 1}, {1, 1, 1}}) + "\x7F")                      // 2 entries and a byte
        + Chunk("SPRG", "\x09\x0A");
    clsSTY sty;
    LoadBytes(sty, dir, bytes);
    EXPECT_EQ(sty.GetNumOfTiles(), 8);
    EXPECT_EQ(sty.GetNumOfPals(), 64);
    EXPECT_EQ(sty.GetNumOfPalx(), 8);
    EXPECT_EQ(sty.GetNumOfSprx(), 2);

    // Each following chunk was found exactly where its predecessor's size said.
    StyRecordingSurface pic;
    sty.RenderTile(7, pic);
    EXPECT_EQ(pic.At(0, 0), Grey(8));
    EXPECT_THROW(sty.RenderTile(8, pic), std::out_of_range);
    EXPECT_THROW(sty.GetCol(64, 0), std::out_of_range);
    sty.RenderSprite(1, pic, 3);
    EXPECT_EQ(pic.At(0, 0), Grey(0x0A));
}

TEST(StyLoad, EachLoadStartsFromNothing)
{
    TempDir dir;
    clsSTY sty;
    const StyleFile small = SmallStyle();
    LoadBytes(sty, dir, small.Build());
    ASSERT_EQ(sty.GetNumOfTiles(), 4);
    ASSERT_EQ(sty.GetNumOfSprx(), 4);

    LoadBytes(sty, dir, Header() + Chunk("PPAL", PaletteData(GreyPalettes(64))), "b.sty");
    EXPECT_EQ(sty.GetNumOfTiles(), 0);
    EXPECT_EQ(sty.GetNumOfSprx(), 0);
    EXPECT_EQ(sty.GetNumOfPalx(), 0);
    EXPECT_EQ(sty.GetCol(0, 7), Grey(7));
    StyRecordingSurface pic;
    EXPECT_THROW(sty.RenderTile(0, pic), std::out_of_range);
}

TEST(StyLoad, DamagedFilesAreRefusedNamingTheProblemAndKeepThePreviousFile)
{
    TempDir dir;
    const StyleFile small = SmallStyle();
    const std::string good = small.Build();
    struct Case {
        const char* name;
        std::string bytes;  // empty: the file is not created
        const char* problem;
    };
    const std::vector<Case> cases = {
        {"missing path", "", "cannot be opened"},
        {"shorter than the header", "GBST\x01", "too short"},
        {"chunk type cut off", Header() + "TI", "inside the chunk header"},
        {"type but half a size", Header() + "TILE" + "\x10\x00", "inside the header of chunk \"TILE\""},
        {"negative size", Header() + ChunkHeader("PALX", -2) + "abcd", "negative size (-2)"},
        {"negative size of an unknown chunk", Header() + ChunkHeader("WHAT", -1), "negative size"},
        {"recognised chunk past the end", Header() + ChunkHeader("PPAL", 65536) + std::string(100, 'x'),
         "says it holds 65536 bytes, but only 100 remain"},
        {"byte block past the end", Header() + ChunkHeader("dels", 9) + "12345678", "\"dels\""},
        {"too many items", Header() + Chunk("PALX", std::string(2 * 32768, '\0')), "32768 items"},
        {"too many sprites", Header() + Chunk("SPRX", std::string(8 * 32768 + 7, '\0')), "at most 32767"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        clsSTY sty;
        LoadBytes(sty, dir, good, "good.sty");
        const std::string file = dir.File(std::string(c.name) + ".sty");
        if (!c.bytes.empty())
            TempDir::Write(file, c.bytes);
        RecordingProgress progress;
        try {
            sty.LoadSTY(file);
            ADD_FAILURE() << "loaded";
        } catch (const FileError& e) {
            EXPECT_EQ(e.File(), file);
            EXPECT_NE(e.Problem().find(c.problem), std::string::npos) << e.Problem();
        }
        // The progress window never stays up after a refusal.
        if (!progress.calls.empty()) {
            EXPECT_EQ(progress.calls.back().kind, 'H');
        }
        EXPECT_EQ(sty.GetNumOfTiles(), 4);
        EXPECT_EQ(sty.GetNumOfPals(), 64);
        EXPECT_EQ(sty.GetNumOfPalx(), 8);
        EXPECT_EQ(sty.GetNumOfSprx(), 4);
        EXPECT_EQ(sty.GetCol(5, 3), 0xFC1403u);  // red 255 - 3, green 5 * 4, blue 3
    }
}

TEST(StyLoad, AGameSizedFileLoadsWhole)
{
    TempDir dir;
    const StyleFile big = RealisticStyle();
    clsSTY sty;
    LoadBytes(sty, dir, big.Build());
    ASSERT_EQ(sty.GetNumOfTiles(), 1000);
    ASSERT_EQ(sty.GetNumOfPals(), 128);
    ASSERT_EQ(sty.GetNumOfPalx(), 16384);
    ASSERT_EQ(sty.GetNumOfSprx(), 3000);

    StyRecordingSurface pic;
    sty.DrawTransparent(false);
    sty.RenderTile(999, pic);
    EXPECT_EQ(sty.lPal(), 999 % 128);
    EXPECT_EQ(pic.At(10, 20), sty.GetCol(999 % 128, (999 + 20 * 64 + 10) % 256));
    sty.RenderSprite(2999, pic, 0);
    EXPECT_EQ(sty.lPal(), (1000 + 2999) % 128);
    const int w = sty.lWidth(), h = sty.lHeight();
    EXPECT_EQ(pic.At(w - 1, h - 1), sty.GetCol(sty.lPal(), RealisticSpritePixel(2999, w - 1, h - 1)));
}
