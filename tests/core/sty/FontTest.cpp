// SPDX-License-Identifier: GPL-3.0-or-later
// Fonts in the style model, and texts drawn and checked in them, on a font style made
// here: font 0 four pixels high with blank lower-case letters, font 1 seven high with
// them, 94 characters each ('!' to '~'), after four sprites that are no font's.

#include <gtest/gtest.h>

#include "core/io/FileError.h"
#include "core/io/FileIO.h"
#include "core/sty/FontText.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/Thrown.h"

using namespace sty_test;

namespace {

const std::vector<FontSpec> kFonts = {{94, 4, false}, {94, 7, true}};
const std::array<uint16_t, 5> kBefore = {1, 0, 2, 0, 1};

clsSTY Parsed(const std::string& bytes)
{
    clsSTY style;
    style.ParseSTY(AsBytes(bytes), "f.sty");
    return style;
}

class Fonts : public ::testing::Test {
protected:
    const clsSTY style = Parsed(FontStyle(kFonts, kBefore).Build());
};

using Bytes = std::vector<uint8_t>;

}  // namespace

TEST_F(Fonts, TheModelAnswersEachFontsRangeAndRefusesAFontTableItsSpritesCannotHold)
{
    ASSERT_EQ(style.GetNumOfFonts(), 2);
    // The first sprites follow the first five SPRB counts.
    EXPECT_EQ((std::vector<int>{style.FontFirstSprite(0), style.FontFirstSprite(1), style.FontHeight(0),
                                style.FontHeight(1), style.FontCharacters(1)}),
              (std::vector<int>{4, 98, 4, 7, 94}));
    const std::tuple<int, uint8_t, std::optional<int>> lookups[] = {
        {0, '!', 4}, {0, '~', 97}, {1, '!', 98}, {1, '~', 191}, {1, ' ', {}}, {1, 0x7F, {}}, {0, 0xB0, {}}};
    for (const auto& [font, byte, sprite] : lookups)
        EXPECT_EQ(style.FontSprite(font, byte), sprite) << font << " " << int(byte);
    EXPECT_THROW(style.FontSprite(2, '!'), std::out_of_range);
    EXPECT_EQ(Parsed(SmallStyle().Build()).GetNumOfFonts(), 0);

    // The last FONB is the one read.
    const std::string fonts = FontStyle(kFonts, kBefore).Build();
    const std::pair<std::string, std::string> damaged[] = {
        {Chunk("FONB", U16(2) + U16(94) + U16(95)), "fonts' characters up to sprite 192, but the file has 192 sprites"},
        {Chunk("FONB", U16(3) + U16(1) + U16(1)), "holds 6 bytes, too few for the counts of its 3 fonts"},
        {Chunk("FONB", "\x01"), "holds 1 bytes, too few for its count of fonts"}};
    for (const auto& [chunk, problem] : damaged)
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { Parsed(fonts + chunk); }), problem);
    EXPECT_EQ(Parsed(fonts + Chunk("FONB", U16(1) + U16(0))).FontHeight(0), 0);
}

TEST_F(Fonts, ATextIsDrawnGlyphByGlyphInEachGlyphsPaletteWithMarkupLeftOutAndMissingLettersBoxed)
{
    const GameFont font(style, 1);
    // The leading "G!" and '#', '*' are markup; '@' is blank; 0xB0 is past '~'.
    const DrawnText drawn = font.Draw("G!Ab #@*\xB0~");
    EXPECT_EQ(drawn.findings.undrawable, Bytes{0xB0});
    EXPECT_EQ(drawn.findings.blank, Bytes{'@'});

    const auto width = [](uint8_t b) { return GlyphWidth(7, b); };
    const int space = 1, box = 4;  // a quarter and half the height, the box with a blank column
    const int at[] = {0, width('A'), width('A') + width('b') + space};
    const int boxAt = at[2] + width('@'), tildeAt = boxAt + box;
    ASSERT_EQ(drawn.height, 7);
    ASSERT_EQ(drawn.width, tildeAt + width('~'));
    ASSERT_EQ(drawn.pixels.size(), std::size_t(drawn.width * 7));  // the font's height: font 0's is 4

    std::vector<uint32_t> expected(drawn.pixels.size(), 0);
    const auto glyph = [&](int x0, uint8_t b) {
        const int sprite = 98 + b - 33;
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < width(b); ++x)
                if (const uint8_t c = GlyphPixel(kFonts[1], 1, b, x, y))
                    expected[std::size_t(y * drawn.width + x0 + x)] =
                        0xFF000000 | uint32_t(255 - c) << 16 | uint32_t(sprite % 64 * 4) << 8 | c;
    };
    glyph(at[0], 'A');
    glyph(at[1], 'b');
    glyph(tildeAt, '~');
    for (int y = 0; y < 7; ++y)
        for (int x = boxAt; x < boxAt + box - 1; ++x)
            expected[std::size_t(y * drawn.width + x)] = GameFont::kMissingColour;
    EXPECT_TRUE(drawn.pixels == expected);
}

TEST_F(Fonts, ACheckFindsUndrawableAndBlankLettersOnceEachAndPassesOverMarkupAndSpaces)
{
    const GameFont lower(style, 1), capitals(style, 0);
    const std::tuple<const GameFont*, std::string, Bytes, Bytes> cases[] = {
        {&lower, "G!Hi #there* ~!", {}, {}},
        {&lower, "n!", {}, {}},
        {&lower, "@!", {}, {'@'}},  // '@' is no letter, so this is no code
        {&lower, "a@b\xB0\xE1\x7F\x1F@\xB0", {0x1F, 0x7F, 0xB0, 0xE1}, {'@'}},
        {&capitals, "G!go", {}, {'g', 'o'}},
        {&capitals, "g!GO", {}, {}}};
    for (const auto& [font, text, undrawable, blank] : cases) {
        const FontFindings found = font->Check(text);
        EXPECT_EQ(found.undrawable, undrawable) << text;
        EXPECT_EQ(found.blank, blank) << text;
    }
    EXPECT_EQ(DefaultFont(style), 1);
    EXPECT_EQ(DefaultFont(Parsed(FontStyle({{94, 5, false}, {60, 5, true}}, kBefore).Build())), std::nullopt);
}
