#include "ui/windows/MapView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "core/gmp/CityMap.h"
#include "core/gmp/CityPicture.h"
#include "core/gmp/MapLids.h"
#include "core/sty/clsSTY.h"

namespace {

constexpr int kSide = CityMap::kSide;
constexpr std::size_t kLooks = 1 << 16;
// The flat bit changes nothing seen from above, so looks that differ only there share
// their pictures.
constexpr uint16_t kLookBits = 0xEFFF;
constexpr double kWheelStep = 1.25;
static_assert(MapView::kBackground == kMapBackground);
const QColor kZoneColour(255, 214, 10);
const QColor kMarkedZoneColour(255, 70, 200);

QImage ImageOfPixels(const std::vector<uint32_t>& pixels)
{
    QImage image(kLidSide, kLidSide, QImage::Format_RGB32);
    for (int y = 0; y < kLidSide; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kLidSide; ++x)
            line[x] = 0xFF000000u | pixels[static_cast<std::size_t>(y * kLidSide + x)];
    }
    return image;
}

// The map pixels [first, last) that square n covers at `scale`, moved by `origin`.
inline int Edge(int n, double scale, double origin)
{
    return static_cast<int>(std::floor(n * scale - origin));
}

}  // namespace

MapView::MapView(QWidget* parent) : QAbstractScrollArea(parent), fullLids_(kLooks), sizedLids_(kLooks)
{
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setCursor(Qt::OpenHandCursor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void MapView::SetMap(const CityMap* map)
{
    map_ = map;
    markedZone_ = -1;
    RefreshLids();
}

void MapView::SetStyle(clsSTY* style)
{
    style_ = style;
    std::fill(fullLids_.begin(), fullLids_.end(), QImage());
    DropSizedLids();
    viewport()->update();
}

void MapView::SetLevel(int level)
{
    level_ = std::clamp(level, 0, CityMap::kLevels - 1);
    RefreshLids();
}

void MapView::SetZonesShown(bool shown)
{
    zonesShown_ = shown;
    viewport()->update();
}

void MapView::MarkZone(int zone)
{
    markedZone_ = zone;
    viewport()->update();
}

void MapView::RefreshLids()
{
    lids_.clear();
    schematic_.clear();
    if (map_)
        for (const SeenLid& seen : SeenFromAbove(*map_, level_)) {
            lids_.push_back(seen.face);
            schematic_.push_back(SchematicColour(seen));
        }
    viewport()->update();
}

double MapView::FitZoom() const
{
    const QSize area = viewport()->size();
    const int side = std::min(area.width(), area.height());
    return side > 0 ? std::min(kMostZoom, side / double(kSide)) : 1.0;
}

QPointF MapView::Origin() const
{
    // A map smaller than the viewport sits in its middle.
    const double extent = kSide * zoom_;
    const QSize area = viewport()->size();
    return {extent < area.width() ? -(area.width() - extent) / 2 : horizontalScrollBar()->value(),
            extent < area.height() ? -(area.height() - extent) / 2 : verticalScrollBar()->value()};
}

QPointF MapView::SquareAt(QPointF viewportPoint) const
{
    return (viewportPoint + Origin()) / zoom_;
}

QPointF MapView::ViewportPointOf(QPointF square) const
{
    return square * zoom_ - Origin();
}

QRect MapView::VisibleSquares() const
{
    const QPointF first = SquareAt({0, 0});
    const QPointF last = SquareAt(QPointF(viewport()->width(), viewport()->height()));
    const QRect squares(QPoint(int(std::floor(first.x())), int(std::floor(first.y()))),
                        QPoint(int(std::ceil(last.x())) - 1, int(std::ceil(last.y())) - 1));
    return squares.intersected(QRect(0, 0, kSide, kSide));
}

void MapView::UpdateScrollBars()
{
    const int extent = static_cast<int>(std::ceil(kSide * zoom_));
    const QSize area = viewport()->size();
    for (auto [bar, page] : {std::pair{horizontalScrollBar(), area.width()}, {verticalScrollBar(), area.height()}}) {
        bar->setRange(0, std::max(0, extent - page));
        bar->setPageStep(page);
        bar->setSingleStep(std::max(1, static_cast<int>(zoom_)));
    }
}

void MapView::SetZoom(double blockPixels, QPointF anchor)
{
    const QPointF spot = SquareAt(anchor);
    const double fit = FitZoom();
    zoom_ = std::clamp(blockPixels, fit, kMostZoom);
    fitted_ = zoom_ <= fit;
    UpdateScrollBars();
    const QPointF scroll = spot * zoom_ - anchor;
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
    viewport()->update();
    emit ZoomChanged(zoom_);
}

void MapView::SetZoom(double blockPixels)
{
    SetZoom(blockPixels, QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
}

void MapView::ShowSquares(const QRectF& squares)
{
    const QSize area = viewport()->size();
    const double fill =
        0.8 * std::min(area.width() / std::max(1.0, squares.width()), area.height() / std::max(1.0, squares.height()));
    SetZoom(fill);
    const QPointF scroll = squares.center() * zoom_ - QPointF(area.width() / 2.0, area.height() / 2.0);
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
}

void MapView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    SetZoom(fitted_ ? 0.0 : zoom_);
}

void MapView::scrollContentsBy(int, int)
{
    viewport()->update();
}

const QImage& MapView::FullLid(uint16_t look)
{
    QImage& lid = fullLids_[look];
    if (lid.isNull()) {
        const LidLook seen = LookOfFace(look);
        try {
            if (!style_)
                throw std::out_of_range("no style");
            lid = ImageOfPixels(DrawLid(*style_, seen));
        } catch (const std::out_of_range&) {
            // A tile the style lacks, or the engine's own numbers, show as flat colour.
            lid = QImage(kLidSide, kLidSide, QImage::Format_RGB32);
            lid.fill(0xFF000000u | FlatLidColour(seen));
        }
    }
    return lid;
}

const QImage& MapView::SizedLid(uint16_t look, int side)
{
    if (side != sizedSide_) {
        DropSizedLids();
        sizedSide_ = side;
    }
    QImage& sized = sizedLids_[look];
    if (sized.isNull()) {
        // Shrunk by the mean of the pixels each covers, as the command line's picture
        // (DrawCity) is, so that both give the same pixels.
        const QImage& full = FullLid(look);
        if (side == kLidSide) {
            sized = full;
        } else {
            const std::vector<uint32_t> pixels =
                ShrinkLid({reinterpret_cast<const uint32_t*>(full.constBits()), kLidSide * kLidSide}, side);
            sized = QImage(side, side, QImage::Format_RGB32);
            for (int y = 0; y < side; ++y)
                std::memcpy(sized.scanLine(y), &pixels[static_cast<std::size_t>(y * side)],
                            static_cast<std::size_t>(side) * 4);
        }
        sizedFilled_.push_back(look);
    }
    return sized;
}

void MapView::DropSizedLids()
{
    for (uint16_t look : sizedFilled_)
        sizedLids_[look] = QImage();
    sizedFilled_.clear();
}

void MapView::Compose(QImage& target, QPointF origin, double scale)
{
    target.fill(kBackground);
    if (lids_.empty())
        return;
    const int side = std::max(1, static_cast<int>(std::ceil(scale)));
    const int first[2] = {std::max(0, static_cast<int>(std::floor(origin.x() / scale))),
                          std::max(0, static_cast<int>(std::floor(origin.y() / scale)))};
    const int end[2] = {std::min(kSide, static_cast<int>(std::ceil((origin.x() + target.width()) / scale))),
                        std::min(kSide, static_cast<int>(std::ceil((origin.y() + target.height()) / scale)))};
    // Rows by pointer: QImage::scanLine checks for sharing on every call, and a frame
    // of the whole map copies some 260,000 rows of squares.
    uchar* const bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const auto line = [&](int row) { return reinterpret_cast<QRgb*>(bits + row * stride); };
    for (int y = first[1]; y < end[1]; ++y) {
        const int top = Edge(y, scale, origin.y());
        const int rowFrom = std::max(top, 0), rowTo = std::min(Edge(y + 1, scale, origin.y()), target.height());
        for (int x = first[0]; x < end[0]; ++x) {
            const std::size_t square = static_cast<std::size_t>(y * kSide + x);
            const uint16_t face = lids_[square];
            const int left = Edge(x, scale, origin.x());
            const int colFrom = std::max(left, 0), colTo = std::min(Edge(x + 1, scale, origin.x()), target.width());
            if (face == 0 || colTo <= colFrom)
                continue;
            if (!style_) {
                for (int row = rowFrom; row < rowTo; ++row)
                    std::fill(line(row) + colFrom, line(row) + colTo, schematic_[square]);
                continue;
            }
            const QImage& lid = SizedLid(face & kLookBits, side);
            const uchar* const from = lid.constBits() + (colFrom - left) * 4;
            const std::size_t bytes = static_cast<std::size_t>(colTo - colFrom) * 4;
            for (int row = rowFrom; row < rowTo; ++row)
                std::memcpy(line(row) + colFrom, from + (row - top) * lid.bytesPerLine(), bytes);
        }
    }
    if (zonesShown_)
        DrawZones(target, origin, scale);
}

void MapView::DrawZones(QImage& target, QPointF origin, double scale) const
{
    if (!map_ || map_->Zones().empty())
        return;
    QPainter painter(&target);
    painter.setFont(font());
    const QRectF shown(origin, target.size());
    const auto& zones = map_->Zones();
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const MapZone& zone = zones[i];
        const QRectF area(zone.x * scale, zone.y * scale, zone.w * scale, zone.h * scale);
        if (!area.intersects(shown))
            continue;
        const QRectF at = area.translated(-origin);
        painter.setPen(QPen(static_cast<int>(i) == markedZone_ ? kMarkedZoneColour : kZoneColour, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(at);
        const QString name = QString::fromLatin1(zone.name.data(), static_cast<qsizetype>(zone.name.size()));
        const QPointF text = at.topLeft() + QPointF(4, 4 + painter.fontMetrics().ascent());
        painter.setPen(Qt::black);
        painter.drawText(text + QPointF(1, 1), name);
        painter.setPen(static_cast<int>(i) == markedZone_ ? kMarkedZoneColour : kZoneColour);
        painter.drawText(text, name);
    }
}

QImage MapView::Render(const QRect& squares, int blockPixels)
{
    QImage image(squares.size() * blockPixels, QImage::Format_RGB32);
    if (!image.isNull())
        Compose(image, QPointF(squares.topLeft()) * blockPixels, blockPixels);
    return image;
}

void MapView::paintEvent(QPaintEvent*)
{
    if (frame_.size() != viewport()->size())
        frame_ = QImage(viewport()->size(), QImage::Format_RGB32);
    Compose(frame_, Origin(), zoom_);
    QPainter(viewport()).drawImage(0, 0, frame_);
}

void MapView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    dragScroll_ = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
    viewport()->setCursor(Qt::ClosedHandCursor);
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (dragging_) {
        const QPoint moved = at - dragFrom_;
        horizontalScrollBar()->setValue(dragScroll_.x() - moved.x());
        verticalScrollBar()->setValue(dragScroll_.y() - moved.y());
    }
    const QPointF square = SquareAt(event->position());
    const bool onMap = square.x() >= 0 && square.y() >= 0 && square.x() < kSide && square.y() < kSide;
    emit Hovered(onMap ? int(square.x()) : -1, onMap ? int(square.y()) : -1);
}

void MapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragging_ = false;
        viewport()->setCursor(Qt::OpenHandCursor);
    }
}

void MapView::leaveEvent(QEvent* event)
{
    emit Hovered(-1, -1);
    QAbstractScrollArea::leaveEvent(event);
}

void MapView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        SetZoom(zoom_ * std::pow(kWheelStep, notches), event->position());
    event->accept();
}
