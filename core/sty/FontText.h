// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A text drawn as the game draws it, in one of a style's fonts: glyphs side by side from
// the top left, each its sprite's width (which holds its own blank column of spacing),
// in its sprite's own palette with colour 0 transparent. Markup is not drawn: '#' and
// '*', and a letter and '!' at the very start (the two-byte cell the game reads as a
// code). A letter the font lacks is drawn as a red box of the font's height.
//
// The text is given as the bytes the text model stores, in the game font's charset.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/sty/clsSTY.h"

// The letters of a text the font cannot show, each byte once, in ascending order.
struct FontFindings {
    std::vector<uint8_t> undrawable;  // outside the font's range: drawn as a red box
    std::vector<uint8_t> blank;       // in its range, but drawn without a visible pixel

    bool Any() const { return !undrawable.empty() || !blank.empty(); }
};

struct DrawnText {
    int width = 0;
    int height = 0;                // the font's
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, width x height, row by row from the top
    FontFindings findings;
};

class GameFont {
public:
    static constexpr uint32_t kMissingColour = 0xFFFF0000;  // the box of a letter the font lacks

    // Reads the font's glyphs from `style`, which must outlive this. Throws
    // std::out_of_range for a font the style lacks, or a glyph whose pixels lie outside
    // the sprite graphics.
    GameFont(const clsSTY& style, int font);

    int Number() const { return font_; }
    int Height() const { return height_; }
    // Whether every glyph from 'a' to 'z' has a visible pixel.
    bool HasLowerCase() const;

    // What Draw would find, without drawing.
    FontFindings Check(std::string_view bytes) const;
    // Throws std::out_of_range when a glyph's palette is not in the style.
    DrawnText Draw(std::string_view bytes) const;

private:
    struct Glyph {
        int sprite = 0;
        int width = 0;
        int height = 0;
        bool visible = false;          // has a pixel of a colour other than 0
        std::vector<uint8_t> indices;  // width x height
    };
    const Glyph* GlyphOf(uint8_t byte) const;
    // The one walk over a text that drawing and checking share: calls `place` with the x
    // of each glyph (null for a missing letter's box) and returns the width the text takes.
    template <class Place>
    int Walk(std::string_view bytes, FontFindings& findings, Place&& place) const;

    const clsSTY& style_;
    int font_;
    int height_;
    int space_;
    int missing_;
    std::vector<Glyph> glyphs_;  // from character 33
};

// The first font whose glyphs for 'a' to 'z' all have visible pixels: the one texts are
// shown in by default. None when no font has lower-case letters.
std::optional<int> DefaultFont(const clsSTY& style);
