// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/MapView.h"

#include <QApplication>
#include <QKeyEvent>
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
constexpr double kKeyStep = 1.5;
// How near (in pixels) an edge of the marked zone the pointer grabs it.
constexpr int kGrabReach = 5;
enum Grab { kLeft = 1, kRight = 2, kTop = 4, kBottom = 8, kBody = 16 };
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
    setFocusPolicy(Qt::StrongFocus);
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
    press_ = Press::None;
    RefreshLids();
}

void MapView::SetStyle(clsSTY* style)
{
    style_ = style;
    std::fill(fullLids_.begin(), fullLids_.end(), QImage());
    DropSizedLids();
    ++groundVersion_;
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
    if (press_ == Press::Zone)
        press_ = Press::None;
    viewport()->update();
}

void MapView::SetDrawing(bool drawing)
{
    if (drawing == drawing_)
        return;
    drawing_ = drawing;
    press_ = Press::None;
    viewport()->setCursor(drawing ? Qt::CrossCursor : Qt::OpenHandCursor);
    viewport()->update();
    emit DrawingChanged(drawing);
}

int MapView::ZoneAt(QPointF square) const
{
    if (!map_ || !zonesShown_)
        return -1;
    int found = -1;
    const auto& zones = map_->Zones();
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const MapZone& z = zones[i];
        if (QRectF(z.x, z.y, z.w, z.h).contains(square) &&
            (found < 0 || ZoneArea(z) < ZoneArea(zones[static_cast<std::size_t>(found)])))
            found = static_cast<int>(i);
    }
    return found;
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
    ++groundVersion_;
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

const uint32_t* MapView::SizedLid(uint16_t look, int side)
{
    if (side != sizedSide_) {
        DropSizedLids();
        sizedSide_ = side;
    }
    std::vector<uint32_t>& sized = sizedLids_[look];
    if (sized.empty()) {
        // Shrunk by the mean of the pixels each covers, as the command line's picture
        // (DrawCity) is, so that both give the same pixels.
        const QImage& full = FullLid(look);
        const std::span<const uint32_t> pixels{reinterpret_cast<const uint32_t*>(full.constBits()),
                                               kLidSide * kLidSide};
        sized = side == kLidSide ? std::vector<uint32_t>(pixels.begin(), pixels.end()) : ShrinkLid(pixels, side);
        sizedFilled_.push_back(look);
    }
    return sized.data();
}

void MapView::DropSizedLids()
{
    for (uint16_t look : sizedFilled_)
        sizedLids_[look] = {};
    sizedFilled_.clear();
}

void MapView::Compose(QImage& target, QPointF origin, double scale)
{
    ComposeGround(target, origin, scale);
    if (zonesShown_ && map_)
        DrawZoneOutlines(target, map_->Zones(), origin, scale, markedZone_, font());
}

void MapView::ComposeGround(QImage& target, QPointF origin, double scale)
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
    // Each column's left edge once a frame, not twice a square.
    std::vector<int> lefts;
    for (int x = first[0]; x <= end[0]; ++x)
        lefts.push_back(Edge(x, scale, origin.x()));
    for (int y = first[1]; y < end[1]; ++y) {
        const int top = Edge(y, scale, origin.y());
        const int rowFrom = std::max(top, 0), rowTo = std::min(Edge(y + 1, scale, origin.y()), target.height());
        for (int x = first[0]; x < end[0]; ++x) {
            const std::size_t square = static_cast<std::size_t>(y * kSide + x);
            const uint16_t face = lids_[square];
            const int left = lefts[static_cast<std::size_t>(x - first[0])];
            const int colFrom = std::max(left, 0);
            const int colTo = std::min(lefts[static_cast<std::size_t>(x - first[0] + 1)], target.width());
            if (face == 0 || colTo <= colFrom)
                continue;
            if (!style_) {
                for (int row = rowFrom; row < rowTo; ++row)
                    std::fill(line(row) + colFrom, line(row) + colTo, schematic_[square]);
                continue;
            }
            const uint32_t* const from = SizedLid(face & kLookBits, side) + (colFrom - left);
            for (int row = rowFrom; row < rowTo; ++row)
                std::copy_n(from + (row - top) * side, colTo - colFrom, line(row) + colFrom);
        }
    }
}

void DrawZoneOutlines(QImage& target, const std::vector<MapZone>& zones, QPointF origin, double scale, int marked,
                      const QFont& font)
{
    QPainter painter(&target);
    painter.setFont(font);
    DrawZoneOutlines(painter, target.size(), zones, origin, scale, marked);
}

void DrawZoneOutlines(QPainter& painter, QSize size, const std::vector<MapZone>& zones, QPointF origin, double scale,
                      int marked)
{
    const QRectF shown(origin, size);
    for (std::size_t i = 0; i < zones.size(); ++i) {
        const MapZone& zone = zones[i];
        const QRectF area(zone.x * scale, zone.y * scale, zone.w * scale, zone.h * scale);
        if (!area.intersects(shown))
            continue;
        const QRectF at = area.translated(-origin);
        const QColor colour = static_cast<int>(i) == marked ? kMarkedZoneColour : kZoneColour;
        painter.setPen(QPen(colour, static_cast<int>(i) == marked ? 3 : 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(at);
        const QString name = QString::fromLatin1(zone.name.data(), static_cast<qsizetype>(zone.name.size()));
        const QPointF text = at.topLeft() + QPointF(4, 4 + painter.fontMetrics().ascent());
        painter.setPen(Qt::black);
        painter.drawText(text + QPointF(1, 1), name);
        painter.setPen(colour);
        painter.drawText(text, name);
    }
}

QImage MapView::Render(const QRect& squares, double blockPixels)
{
    // The last square's right edge as Compose finds it; a hair more for rounding.
    const auto pixels = [&](int n) { return static_cast<int>(std::floor(n * blockPixels + 1e-6)); };
    QImage image(pixels(squares.width()), pixels(squares.height()), QImage::Format_RGB32);
    if (!image.isNull())
        Compose(image, QPointF(squares.topLeft()) * blockPixels, blockPixels);
    return image;
}

void MapView::paintEvent(QPaintEvent*)
{
    const QPointF origin = Origin();
    const GroundKey key{origin.x(), origin.y(), zoom_, viewport()->size(), groundVersion_};
    if (!(key == groundKey_)) {
        if (ground_.size() != key.size)
            ground_ = QImage(key.size, QImage::Format_RGB32);
        ComposeGround(ground_, origin, zoom_);
        groundKey_ = key;
    }
    QPainter painter(viewport());
    painter.drawImage(0, 0, ground_);
    if (zonesShown_ && map_)
        DrawZoneOutlines(painter, key.size, map_->Zones(), origin, zoom_, markedZone_);
    if ((press_ == Press::Zone || press_ == Press::Draw) && moved_) {
        // The rectangle the drag would give, over what is there now.
        painter.setPen(QPen(kMarkedZoneColour, 2, Qt::DashLine));
        painter.drawRect(
            QRectF(ViewportPointOf(dragRect_.topLeft()),
                   ViewportPointOf(QPointF(dragRect_.x() + dragRect_.width(), dragRect_.y() + dragRect_.height()))));
    }
}

int MapView::GrabAt(QPointF point) const
{
    if (!map_ || !zonesShown_ || markedZone_ < 0 || static_cast<std::size_t>(markedZone_) >= map_->Zones().size())
        return 0;
    const MapZone& z = map_->Zones()[static_cast<std::size_t>(markedZone_)];
    const QPointF from = ViewportPointOf(QPointF(z.x, z.y)), to = ViewportPointOf(QPointF(z.x + z.w, z.y + z.h));
    const auto near = [](double a, double b) { return std::abs(a - b) <= kGrabReach; };
    const bool across = point.x() > from.x() - kGrabReach && point.x() < to.x() + kGrabReach;
    const bool down = point.y() > from.y() - kGrabReach && point.y() < to.y() + kGrabReach;
    int grab = 0;
    if (down && near(point.x(), from.x()))
        grab |= kLeft;
    else if (down && near(point.x(), to.x()))
        grab |= kRight;
    if (across && near(point.y(), from.y()))
        grab |= kTop;
    else if (across && near(point.y(), to.y()))
        grab |= kBottom;
    if (grab == 0 && QRectF(from, to).contains(point))
        grab = kBody;
    return grab;
}

QRect MapView::Dragged(QPointF point) const
{
    const QPointF square = SquareAt(point);
    const auto whole = [](double v) { return static_cast<int>(std::lround(v)); };
    if (press_ == Press::Draw) {
        const QPointF start = SquareAt(dragFrom_);
        const auto cell = [](double v) { return std::clamp(static_cast<int>(std::floor(v)), 0, kSide - 1); };
        const QRect r =
            QRect(QPoint(cell(start.x()), cell(start.y())), QPoint(cell(square.x()), cell(square.y()))).normalized();
        return QRect(r.topLeft(), QSize(std::min(r.width(), 255), std::min(r.height(), 255)));
    }
    // Not std::clamp: a damaged zone (reaching past the map, no area) may leave no room.
    const auto clamp = [](int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); };
    const MapZone& z = map_->Zones()[static_cast<std::size_t>(markedZone_)];
    int left = z.x, top = z.y, right = z.x + z.w, bottom = z.y + z.h;
    if (grab_ == kBody) {
        const QPointF moved = (point - dragFrom_) / zoom_;
        return QRect(left + clamp(whole(moved.x()), -left, kSide - right),
                     top + clamp(whole(moved.y()), -top, kSide - bottom), z.w, z.h);
    }
    // An edge follows the pointer to the nearest square boundary, keeping at least a square
    // and at most the 255 a zone can span.
    if (grab_ & kLeft)
        left = clamp(whole(square.x()), std::max(0, right - 255), right - 1);
    if (grab_ & kRight)
        right = clamp(whole(square.x()), left + 1, std::min(kSide, left + 255));
    if (grab_ & kTop)
        top = clamp(whole(square.y()), std::max(0, bottom - 255), bottom - 1);
    if (grab_ & kBottom)
        bottom = clamp(whole(square.y()), top + 1, std::min(kSide, top + 255));
    return QRect(left, top, right - left, bottom - top);
}

void MapView::ShowGrab(QPointF point)
{
    if (drawing_)
        return;
    const int grab = GrabAt(point);
    const bool corner = (grab & (kLeft | kRight)) && (grab & (kTop | kBottom));
    const bool falling = (grab & kLeft && grab & kTop) || (grab & kRight && grab & kBottom);
    viewport()->setCursor(grab == kBody                    ? Qt::SizeAllCursor
                          : corner                         ? (falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor)
                          : grab & (kLeft | kRight)        ? Qt::SizeHorCursor
                          : grab & (kTop | kBottom)        ? Qt::SizeVerCursor
                          : press_ == Press::Pan && moved_ ? Qt::ClosedHandCursor
                                                           : Qt::OpenHandCursor);
}

void MapView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragFrom_ = event->position().toPoint();
    moved_ = false;
    grab_ = drawing_ ? 0 : GrabAt(event->position());
    press_ = drawing_ ? Press::Draw : grab_ ? Press::Zone : Press::Pan;
    dragScroll_ = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (press_ != Press::None && (at - dragFrom_).manhattanLength() >= QApplication::startDragDistance())
        moved_ = true;
    if (press_ == Press::Pan && moved_) {
        const QPoint moved = at - dragFrom_;
        horizontalScrollBar()->setValue(dragScroll_.x() - moved.x());
        verticalScrollBar()->setValue(dragScroll_.y() - moved.y());
    } else if ((press_ == Press::Zone || press_ == Press::Draw) && moved_) {
        dragRect_ = Dragged(event->position());
        viewport()->update();
    }
    if (press_ == Press::None || press_ == Press::Pan)
        ShowGrab(event->position());
    const QPointF square = SquareAt(event->position());
    const bool onMap = square.x() >= 0 && square.y() >= 0 && square.x() < kSide && square.y() < kSide;
    emit Hovered(onMap ? int(square.x()) : -1, onMap ? int(square.y()) : -1);
}

void MapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || press_ == Press::None)
        return;
    const bool rectangle = press_ == Press::Draw || press_ == Press::Zone;
    const QRect dragged = rectangle ? Dragged(event->position()) : QRect();
    const Press press = std::exchange(press_, Press::None);
    viewport()->update();
    if (press == Press::Draw) {
        SetDrawing(false);
        if (map_)
            emit ZoneDrawn(dragged);
    } else if (moved_ && press == Press::Zone) {
        const MapZone& z = map_->Zones()[static_cast<std::size_t>(markedZone_)];
        if (dragged != QRect(z.x, z.y, z.w, z.h))
            emit ZoneDragged(markedZone_, dragged);
    } else if (!moved_) {
        emit ZoneClicked(ZoneAt(SquareAt(event->position())));
    }
    ShowGrab(event->position());
}

void MapView::leaveEvent(QEvent* event)
{
    emit Hovered(-1, -1);
    QAbstractScrollArea::leaveEvent(event);
}

void MapView::wheelEvent(QWheelEvent* event)
{
    if (!(event->modifiers() & Qt::ControlModifier))
        return QAbstractScrollArea::wheelEvent(event);
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        SetZoom(zoom_ * std::pow(kWheelStep, notches), event->position());
    event->accept();
}

void MapView::keyPressEvent(QKeyEvent* event)
{
    // An eighth of the view a press, so that a held key glides.
    const int across = std::max(1, viewport()->width() / 8), down = std::max(1, viewport()->height() / 8);
    const auto pan = [](QScrollBar* bar, int by) { bar->setValue(bar->value() + by); };
    switch (event->key()) {
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            return SetZoom(zoom_ * kKeyStep);
        case Qt::Key_Minus:
            return SetZoom(zoom_ / kKeyStep);
        case Qt::Key_Left:
            return pan(horizontalScrollBar(), -across);
        case Qt::Key_Right:
            return pan(horizontalScrollBar(), across);
        case Qt::Key_Up:
            return pan(verticalScrollBar(), -down);
        case Qt::Key_Down:
            return pan(verticalScrollBar(), down);
        case Qt::Key_Escape:
            if (drawing_ || press_ != Press::None) {
                press_ = Press::None;
                SetDrawing(false);
                viewport()->update();
                return;
            }
            break;
        default:
            break;
    }
    QAbstractScrollArea::keyPressEvent(event);
}
