// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts' look-ups: which sprites draw a font's characters.

#include <stdexcept>

#include "core/sty/clsSTY.h"

const clsSTY::FontRange& clsSTY::FontAt(int Font) const
{
    if (Font < 0 || Font >= GetNumOfFonts())
        throw std::out_of_range("font " + std::to_string(Font) + " does not exist (the file has " +
                                std::to_string(GetNumOfFonts()) + " fonts)");
    return data_.fonts[static_cast<std::size_t>(Font)];
}

int clsSTY::FontCharacters(int Font) const
{
    return FontAt(Font).characters;
}

int clsSTY::FontFirstSprite(int Font) const
{
    return FontAt(Font).firstSprite;
}

int clsSTY::FontHeight(int Font) const
{
    const FontRange& font = FontAt(Font);
    return font.characters == 0 ? 0 : Sprite(font.firstSprite).height;
}

std::optional<int> clsSTY::FontSprite(int Font, uint8_t character) const
{
    const FontRange& font = FontAt(Font);
    const int n = character - kFirstFontCharacter;
    if (n < 0 || n >= font.characters)
        return std::nullopt;
    return font.firstSprite + n;
}
