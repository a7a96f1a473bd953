// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sty/FontText.h"

#include <algorithm>
#include <bitset>
#include <unordered_map>

namespace {

bool IsLetter(uint8_t b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

// A letter and '!' at the very start are the two-byte cell (high byte 0x21) that many
// mission texts begin with: a code to the game, not text.
std::size_t LeadingCode(std::string_view bytes)
{
    return bytes.size() >= 2 && IsLetter(static_cast<uint8_t>(bytes[0])) && bytes[1] == '!' ? 2 : 0;
}

std::vector<uint8_t> Listed(const std::bitset<256>& bytes)
{
    std::vector<uint8_t> out;
    for (std::size_t b = 0; b < bytes.size(); ++b)
        if (bytes[b])
            out.push_back(static_cast<uint8_t>(b));
    return out;
}

}  // namespace

GameFont::GameFont(const clsSTY& style, int font) : style_(style), font_(font), height_(style.FontHeight(font))
{
    // A space is a quarter of the font's height: the height is the one measure every
    // font has (fonts of a single character have no letter to measure a gap by), and a
    // quarter of it is about as wide as a narrow letter, as a gap between words is.
    space_ = std::max(1, height_ / 4);
    // A missing letter's box is half as wide as it is high, with a blank column after it
    // as a glyph has.
    missing_ = std::max(1, height_ / 2) + 1;
    const int first = style.FontFirstSprite(font);
    glyphs_.resize(static_cast<std::size_t>(style.FontCharacters(font)));
    for (std::size_t c = 0; c < glyphs_.size(); ++c) {
        Glyph& glyph = glyphs_[c];
        glyph.sprite = first + static_cast<int>(c);
        const clsSTY::SpriteEntry& sprite = style.GetSprite(glyph.sprite);
        glyph.width = sprite.width;
        glyph.height = std::min<int>(sprite.height, height_);  // all share one height; none draws below it
        glyph.indices = style.SpriteIndices(glyph.sprite);
        glyph.visible = std::any_of(glyph.indices.begin(), glyph.indices.end(), [](uint8_t i) { return i != 0; });
    }
}

const GameFont::Glyph* GameFont::GlyphOf(uint8_t byte) const
{
    const int n = byte - clsSTY::kFirstFontCharacter;
    return n >= 0 && n < static_cast<int>(glyphs_.size()) ? &glyphs_[static_cast<std::size_t>(n)] : nullptr;
}

bool GameFont::HasLowerCase() const
{
    for (uint8_t b = 'a'; b <= 'z'; ++b)
        if (const Glyph* glyph = GlyphOf(b); !glyph || !glyph->visible)
            return false;
    return true;
}

template <class Place>
int GameFont::Walk(std::string_view bytes, FontFindings& findings, Place&& place) const
{
    std::bitset<256> undrawable, blank;
    int x = 0;
    for (std::size_t i = LeadingCode(bytes); i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (b == '#' || b == '*')
            continue;  // markup
        if (b == ' ') {
            x += space_;
            continue;
        }
        const Glyph* glyph = GlyphOf(b);
        if (!glyph)
            undrawable.set(b);
        else if (!glyph->visible)
            blank.set(b);
        place(x, glyph);
        x += glyph ? glyph->width : missing_;
    }
    findings.undrawable = Listed(undrawable);
    findings.blank = Listed(blank);
    return x;
}

FontFindings GameFont::Check(std::string_view bytes) const
{
    FontFindings findings;
    Walk(bytes, findings, [](int, const Glyph*) {});
    return findings;
}

DrawnText GameFont::Draw(std::string_view bytes) const
{
    DrawnText out;
    std::vector<std::pair<int, const Glyph*>> placed;
    out.width = Walk(bytes, out.findings, [&placed](int x, const Glyph* glyph) { placed.emplace_back(x, glyph); });
    out.height = height_;
    out.pixels.assign(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height), 0);

    // Each palette's colours once, colour 0 transparent.
    std::unordered_map<int16_t, std::vector<uint32_t>> palettes;
    const auto coloursOf = [&](int sprite) -> const std::vector<uint32_t>& {
        const int16_t pal = style_.SpritePalette(sprite);
        std::vector<uint32_t>& colours = palettes[pal];
        if (colours.empty()) {
            colours.resize(clsSTY::kColours);
            for (int c = 1; c < clsSTY::kColours; ++c)
                colours[static_cast<std::size_t>(c)] = 0xFF000000 | style_.GetCol(pal, c);
        }
        return colours;
    };
    const auto row = [&](int x, int y) { return out.pixels.data() + static_cast<std::size_t>(y) * out.width + x; };
    for (const auto& [x, glyph] : placed) {
        if (!glyph) {
            for (int y = 0; y < out.height; ++y)
                std::fill_n(row(x, y), missing_ - 1, kMissingColour);
            continue;
        }
        if (!glyph->visible)
            continue;
        const std::vector<uint32_t>& colours = coloursOf(glyph->sprite);
        const uint8_t* from = glyph->indices.data();
        for (int y = 0; y < glyph->height; ++y, from += glyph->width)
            std::transform(from, from + glyph->width, row(x, y), [&colours](uint8_t i) { return colours[i]; });
    }
    return out;
}

std::optional<int> DefaultFont(const clsSTY& style)
{
    for (int font = 0; font < style.GetNumOfFonts(); ++font)
        if (GameFont(style, font).HasLowerCase())
            return font;
    return std::nullopt;
}
