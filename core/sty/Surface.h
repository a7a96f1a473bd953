// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the renderer needs of a picture area: clear it, and set one pixel. The
// viewer implements this over an off-screen image and shows the image once the
// whole drawing is done, so nothing is painted pixel by pixel on screen.

#include <cstdint>

class Surface {
public:
    virtual ~Surface() = default;
    // Back to the background colour, everywhere.
    virtual void Clear() = 0;
    // colour is 0x00RRGGBB. Pixels outside the surface are the surface's to ignore.
    virtual void SetPixel(int x, int y, uint32_t colour) = 0;
    // `count` pixels from (x, y) to the right: the same as SetPixel on each in turn. A
    // surface that can write a row at once overrides this.
    virtual void SetRow(int x, int y, const uint32_t* colours, int count)
    {
        for (int i = 0; i < count; ++i)
            SetPixel(x + i, y, colours[i]);
    }
};
