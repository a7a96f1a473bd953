// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/StyleFiles.h"

#include <utility>

namespace bench {

sty_test::StyleFile GeneratedStyle(const StyleSize& size)
{
    const int perBand = 256 / size.spriteSide;
    sty_test::StyleFile f;
    f.tiles.reserve(static_cast<std::size_t>(size.tiles));
    for (int t = 0; t < size.tiles; ++t) {
        sty_test::Tile tile(4096, '\0');
        for (int i = 0; i < 4096; ++i)
            tile[static_cast<std::size_t>(i)] = static_cast<char>((t + i) % 256);
        f.tiles.push_back(std::move(tile));
    }
    for (int p = 0; p < size.palettes; ++p)
        f.palettes.push_back(sty_test::RampPalette(static_cast<uint8_t>(p)));
    for (int v = 0; v < size.palx; ++v)
        f.palx.push_back(static_cast<int16_t>(v % size.palettes));
    f.spriteGraphics.assign(static_cast<std::size_t>((size.sprites + perBand - 1) / perBand) *
                                static_cast<std::size_t>(size.spriteSide) * 256,
                            '\0');
    for (int s = 0; s < size.sprites; ++s) {
        const sty_test::SpriteEntry e{(s / perBand) * size.spriteSide * 256 + (s % perBand) * size.spriteSide,
                                      static_cast<uint8_t>(1 + (s * 5) % size.spriteSide),
                                      static_cast<uint8_t>(1 + (s * 3) % size.spriteSide)};
        for (int y = 0; y < e.height; ++y)
            for (int x = 0; x < e.width; ++x)
                f.spriteGraphics[static_cast<std::size_t>(e.offset + y * 256 + x)] =
                    static_cast<char>((s * 13 + x * 3 + y * 7) % 256);
        f.sprites.push_back(e);
    }
    return f;
}

Input WriteStyle(const std::string& size, const std::string& path)
{
    // Sprites of up to 25 pixels a side, ten to a band: 3,000 take about 2 MB. Of up to
    // 29, eight to a band: 22,767 take about 21 MB.
    const StyleSize realistic{1000, 256, 16384, 3000, 25};
    const StyleSize large{10000, 2560, 32767, 22767, 29};
    const std::string bytes = GeneratedStyle(size == "x10" ? large : realistic).Build();
    if (path.empty())
        return {WriteInput("style-" + size + ".sty", bytes), bytes.size()};
    TempDir::Write(path, bytes);
    return {path, bytes.size()};
}

}  // namespace bench
