#pragma once
// A Surface for tests of the style renderer: an image of 0x00RRGGBB values that
// starts and clears to kBackground, and counts of how it was drawn on.

#include <cstdint>
#include <vector>

#include "core/sty/Surface.h"

class StyRecordingSurface : public Surface {
public:
    static constexpr uint32_t kBackground = 0x123456;
    static constexpr int kSide = 256;

    void Clear() override
    {
        ++clears;
        pixels_.assign(pixels_.size(), kBackground);
    }
    void SetPixel(int x, int y, uint32_t colour) override
    {
        ++pixelsSet;
        if (x >= 0 && y >= 0 && x < kSide && y < kSide)
            pixels_[static_cast<std::size_t>(y * kSide + x)] = colour;
    }
    uint32_t At(int x, int y) const { return pixels_[static_cast<std::size_t>(y * kSide + x)]; }

    int clears = 0;
    int pixelsSet = 0;

private:
    std::vector<uint32_t> pixels_ = std::vector<uint32_t>(kSide * kSide, kBackground);
};
