// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/StyPicture.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>

// Shows the drawn part of the image, scaled; the scroll area's dark viewport is the
// background around it.
class StyPicture::Canvas : public QWidget {
public:
    explicit Canvas(StyPicture& picture) : QWidget(nullptr), picture_(picture)
    {
        setObjectName(QStringLiteral("canvas"));
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        const QSize drawn = picture_.drawn_;
        QPainter painter(this);
        if (picture_.table_) {
            painter.drawImage(0, 0, picture_.tableShown_);
            return;
        }
        // No smooth scaling: each pixel is a square of the scale's side.
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRect(QPoint(0, 0), drawn * picture_.Scale()), picture_.image_, QRect(QPoint(0, 0), drawn));
    }

private:
    StyPicture& picture_;
};

StyPicture::StyPicture(QWidget* parent)
    : QScrollArea(parent), image_(kCanvasSide, kCanvasSide, QImage::Format_RGB32), canvas_(new Canvas(*this))
{
    setFrameShape(QFrame::NoFrame);
    QPalette dark = viewport()->palette();
    dark.setColor(QPalette::Window, QColor::fromRgb(kBackground));
    viewport()->setPalette(dark);
    viewport()->setAutoFillBackground(true);
    setWidget(canvas_);
    canvas_->resize(0, 0);
    Clear();
}

void StyPicture::Clear()
{
    image_.fill(kBackground);
    drawn_ = QSize(0, 0);
    table_ = nullptr;
    tableShown_ = QImage();
}

void StyPicture::SetPixel(int x, int y, uint32_t colour)
{
    SetRow(x, y, &colour, 1);
}

void StyPicture::SetRow(int x, int y, const uint32_t* colours, int count)
{
    // Straight into the image's row; what falls outside the image is dropped.
    if (y < 0 || y >= image_.height())
        return;
    const int first = std::max(x, 0);
    const int last = std::min(x + count, image_.width());
    if (first >= last)
        return;
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int i = first; i < last; ++i)
        line[i] = 0xFF000000u | colours[i - x];
    drawn_ = drawn_.expandedTo(QSize(last, y + 1));
}

void StyPicture::DrawLine(int x, int top, int bottom, uint32_t colour)
{
    for (int y = top; y <= bottom; ++y)
        SetPixel(x, y, colour);
}

int StyPicture::Scale() const
{
    if (table_)
        return tableScale_;
    if (zoom_ != kFit)
        return zoom_;
    if (drawn_.isEmpty())
        return 1;
    const QSize room = maximumViewportSize();
    return std::max(1, std::min(room.width() / drawn_.width(), room.height() / drawn_.height()));
}

void StyPicture::SetZoom(int zoom)
{
    zoom_ = std::clamp(zoom, kFit, 4);
    Show();
}

void StyPicture::ShowTable(std::function<QImage(int scale)> draw)
{
    table_ = std::move(draw);
    Show();
}

void StyPicture::Show()
{
    if (table_) {
        tableScale_ = zoom_ == kFit ? 4 : zoom_;
        tableShown_ = table_(tableScale_);
        while (zoom_ == kFit && tableScale_ > 1 && tableShown_.width() > maximumViewportSize().width())
            tableShown_ = table_(--tableScale_);
    }
    canvas_->resize(table_ ? tableShown_.size() : drawn_ * Scale());
    // The scroll bars come and go by a queued call: made now, so that what
    // is on screen after Show() is the whole new state.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    canvas_->repaint();
}

void StyPicture::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (zoom_ == kFit)
        Show();
}
