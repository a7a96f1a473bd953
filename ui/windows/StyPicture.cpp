#include "ui/windows/StyPicture.h"

#include <QPainter>
#include <algorithm>

StyPicture::StyPicture(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StyPicture::Clear()
{
    if (image_.size() != size())
        image_ = QImage(size(), QImage::Format_RGB32);
    image_.fill(kBackground);
}

void StyPicture::SetPixel(int x, int y, uint32_t colour)
{
    // Pixels that fall outside the area are dropped.
    if (x >= 0 && y >= 0 && x < image_.width() && y < image_.height())
        image_.setPixel(x, y, 0xFF000000u | colour);
}

void StyPicture::SetRow(int x, int y, const uint32_t* colours, int count)
{
    // Straight into the image's row; what falls outside the area is dropped.
    if (y < 0 || y >= image_.height())
        return;
    const int first = std::max(x, 0);
    const int last = std::min(x + count, image_.width());
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int i = first; i < last; ++i)
        line[i] = 0xFF000000u | colours[i - x];
}

void StyPicture::DrawLine(int x, int top, int bottom, uint32_t colour)
{
    for (int y = top; y <= bottom; ++y)
        SetPixel(x, y, colour);
}

void StyPicture::Show()
{
    repaint();
}

void StyPicture::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (image_.isNull())
        painter.fillRect(rect(), QColor::fromRgb(kBackground));
    else
        painter.drawImage(0, 0, image_);
}

void StyPicture::resizeEvent(QResizeEvent* event)
{
    Clear();
    QWidget::resizeEvent(event);
}
