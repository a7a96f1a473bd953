#pragma once
#include <QImage>
#include <QWidget>

#include "core/sty/Surface.h"

// The style viewer's picture area. The renderer draws into an off-screen image; the
// window calls Show() once the drawing is complete, so the screen never shows half a
// picture and is not repainted pixel by pixel.
class StyPicture : public QWidget, public Surface {
    Q_OBJECT
public:
    // Neutral and dark, so that both light and dark sprites stand out.
    static constexpr QRgb kBackground = 0xFF303030;

    explicit StyPicture(QWidget* parent = nullptr);

    void Clear() override;
    void SetPixel(int x, int y, uint32_t colour) override;
    void SetRow(int x, int y, const uint32_t* colours, int count) override;
    // Vertical line from (x, top) to (x, bottom), both ends included.
    void DrawLine(int x, int top, int bottom, uint32_t colour);
    // Puts the image on screen now.
    void Show();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage image_;
};
