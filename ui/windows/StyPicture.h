// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QImage>
#include <QScrollArea>
#include <functional>

#include "core/sty/Surface.h"

// The style viewer's picture area. The renderer draws into an off-screen image; the
// window calls Show() once the drawing is complete, so the screen never shows half a
// picture and is not repainted pixel by pixel. The drawing is shown at a whole scale,
// each pixel a sharp square, with scroll bars when it is larger than the area.
class StyPicture : public QScrollArea, public Surface {
    Q_OBJECT
public:
    // Neutral and dark, so that both light and dark sprites stand out.
    static constexpr QRgb kBackground = 0xFF303030;
    // The widest drawing: a sprite row, or the palette strip of 256 lines.
    static constexpr int kCanvasSide = 256;
    static constexpr int kFit = 0;  // a zoom: the largest whole scale that fits

    explicit StyPicture(QWidget* parent = nullptr);

    void Clear() override;
    void SetPixel(int x, int y, uint32_t colour) override;
    void SetRow(int x, int y, const uint32_t* colours, int count) override;
    // Vertical line from (x, top) to (x, bottom), both ends included.
    void DrawLine(int x, int top, int bottom, uint32_t colour);
    // Puts the image on screen now.
    void Show();
    // Shows, until the next Clear, a drawing `draw` makes whole for each scale in place of
    // the pixels drawn (a table whose labels keep their size). At Fit it is drawn at the
    // largest scale at which it is no wider than the area.
    void ShowTable(std::function<QImage(int scale)> draw);

    // 1 to 4 pixels a pixel, or kFit.
    void SetZoom(int zoom);
    // What the drawing is shown at now.
    int Scale() const;
    // What the drawing since the last Clear covers.
    QSize Drawn() const { return drawn_; }

protected:
    // At Fit, a larger area may take a larger scale.
    void resizeEvent(QResizeEvent* event) override;

private:
    class Canvas;

    QImage image_;
    QSize drawn_;
    std::function<QImage(int)> table_;
    QImage tableShown_;
    int tableScale_ = 1;
    int zoom_ = 1;
    Canvas* canvas_;
};
