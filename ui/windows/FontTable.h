// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A style font's characters as the style viewer shows them: rows of 16 codes from 0x20
// to 0xFF under a legend, each cell the character's glyph at a scale with its code under it. A code
// the font has no character for is hatched (absent); a character whose glyph has no
// visible pixel is a grey box (blank): both are what a translator must know before the
// game draws a text.

#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

#include "core/sty/clsSTY.h"

class FontTable {
public:
    enum class Mark { Glyph, Blank, Absent };

    static constexpr int kColumns = 16;
    static constexpr int kFirstRow = 0x20;  // the row of '!', the first character of every font
    static constexpr QRgb kBlank = 0xFF6A6A6A;
    static constexpr QRgb kHatch = 0xFF8A8A8A;

    // Copies the glyphs out of `style`, which may go afterwards. Throws std::out_of_range
    // for a font the style lacks, or a glyph whose pixels lie outside the sprite graphics.
    FontTable(const clsSTY& style, int font);

    Mark MarkOf(uint8_t code) const;
    // The table with each glyph `scale` pixels a pixel; the codes keep their size.
    QImage Draw(int scale) const;
    // Where the glyph of `code` lies in Draw(scale).
    QRect GlyphArea(uint8_t code, int scale) const;
    // "Font 3: 0x21 to 0xAC, 12 pixels high": what the table shows.
    QString Summary() const;

private:
    QSize Cell(int scale) const;

    int font_;
    int height_;
    int widest_ = 1;
    std::vector<QImage> glyphs_;  // from code 0x21, colour 0 transparent
    std::vector<bool> visible_;
};
