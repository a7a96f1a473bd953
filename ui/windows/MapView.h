// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QAbstractScrollArea>
#include <QImage>
#include <cstdint>
#include <vector>

#include "core/gmp/MapZones.h"

class CityMap;
class clsSTY;
class QFont;
class QPainter;

// Outlines `zones` with their names on `target`, whose top left is `origin` in map pixels
// at `scale` pixels a block; the zone `marked` stands out. Safe on any thread.
void DrawZoneOutlines(QImage& target, const std::vector<MapZone>& zones, QPointF origin, double scale, int marked,
                      const QFont& font);
// The same with `painter`, over an area of `shown` pixels.
void DrawZoneOutlines(QPainter& painter, QSize shown, const std::vector<MapZone>& zones, QPointF origin, double scale,
                      int marked);

// The map seen from above: each square shows the lid of its highest block at or below
// the chosen level, from the style's tiles or, without a style, in the colour of its
// ground type (CityPicture.h), with the zones outlined over it. Zooms from the whole map up to 64 screen pixels a
// block (+ and -, Ctrl+wheel about the pointer); pans with the scroll bars, the wheel, the
// arrow keys and by dragging. A click selects the smallest zone under the pointer; the
// marked zone's edges and body can be dragged; in drawing mode a drag draws a new zone.
//
// Each lid look (tile, lighting, flip, turn) is drawn once at 64 x 64 and once at the
// size a square has on screen; a frame copies those rows for the visible squares only.
// Without a style a frame fills each visible square with its colour.
class MapView : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr double kMostZoom = 64;
    static constexpr QRgb kBackground = 0xFF101418;

    explicit MapView(QWidget* parent = nullptr);

    // Neither is owned; they must live while shown here. A null style draws the ground
    // types' colours.
    void SetMap(const CityMap* map);
    void SetStyle(clsSTY* style);
    // Everything above `level` is hidden.
    void SetLevel(int level);
    int Level() const { return level_; }
    void SetZonesShown(bool shown);
    // The zone drawn marked, the one that can be dragged, by its index in the map's list;
    // -1 for none.
    void MarkZone(int zone);
    int MarkedZone() const { return markedZone_; }
    // While on, a press and drag draws a new zone instead of panning (Esc ends it).
    void SetDrawing(bool drawing);
    // The smallest zone that covers `square`, the first of equal ones; -1 for none.
    int ZoneAt(QPointF square) const;

    // Screen pixels a block, kept between FitZoom() and kMostZoom; `anchor` (in the
    // viewport) stays over the same spot of the map.
    void SetZoom(double blockPixels, QPointF anchor);
    void SetZoom(double blockPixels);
    double Zoom() const { return zoom_; }
    // The zoom that shows the whole map in the viewport.
    double FitZoom() const;
    // Zooms so that `squares` fill most of the viewport, and centres them.
    void ShowSquares(const QRectF& squares);

    // Map coordinates (in squares, fractional) of a viewport point, and back.
    QPointF SquareAt(QPointF viewportPoint) const;
    QPointF ViewportPointOf(QPointF square) const;
    // The squares at least partly in view, cut to the map.
    QRect VisibleSquares() const;

    // `squares` at `blockPixels` pixels a block, as the view draws them.
    QImage Render(const QRect& squares, double blockPixels);

signals:
    void ZoomChanged(double blockPixels);
    // The square under the pointer; -1, -1 when it is off the map.
    void Hovered(int x, int y);
    // A click that did not drag: the smallest zone under it, -1 for none.
    void ZoneClicked(int zone);
    // The marked zone dragged to a new rectangle of squares.
    void ZoneDragged(int zone, QRect squares);
    // A rectangle drawn in drawing mode, which then ends.
    void ZoneDrawn(QRect squares);
    void DrawingChanged(bool drawing);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The viewport's top left, in pixels of the map drawn at the current zoom.
    QPointF Origin() const;
    void UpdateScrollBars();
    void RefreshLids();
    // Draws the squares into `target`, whose top left is `origin` in map pixels at `scale`,
    // and the zones over them when they are shown.
    void Compose(QImage& target, QPointF origin, double scale);
    void ComposeGround(QImage& target, QPointF origin, double scale);
    // Which edges of the marked zone (or its body) a viewport point grabs.
    int GrabAt(QPointF point) const;
    // The marked zone's rectangle as the drag in progress has it, in squares.
    QRect Dragged(QPointF point) const;
    void ShowGrab(QPointF point);
    const QImage& FullLid(uint16_t look);
    // The lid `side` pixels a side, row by row.
    const uint32_t* SizedLid(uint16_t look, int side);
    void DropSizedLids();

    const CityMap* map_ = nullptr;
    clsSTY* style_ = nullptr;
    int level_ = 7;
    bool zonesShown_ = true;
    int markedZone_ = -1;
    double zoom_ = 1;
    bool fitted_ = true;  // follows the viewport's size while the whole map is shown

    std::vector<uint16_t> lids_;                    // per square, the face seen from above
    std::vector<uint32_t> schematic_;               // per square, its ground type's colour
    std::vector<QImage> fullLids_;                  // per look, 64 x 64; null until needed
    std::vector<std::vector<uint32_t>> sizedLids_;  // per look, sizedSide_ a side
    std::vector<uint16_t> sizedFilled_;             // the looks sizedLids_ holds
    int sizedSide_ = 0;
    // The squares of the last frame, kept while what they show stays: a zone selected,
    // edited or dragged redraws only the outlines over them.
    struct GroundKey {
        double x = 0, y = 0, zoom = 0;
        QSize size;
        unsigned version = 0;
        bool operator==(const GroundKey&) const = default;
    };
    QImage ground_;
    GroundKey groundKey_;
    unsigned groundVersion_ = 1;  // counts the changes of lids, style and level

    enum class Press { None, Pan, Zone, Draw };
    Press press_ = Press::None;
    bool drawing_ = false;
    bool moved_ = false;  // the press has gone past the drag distance
    int grab_ = 0;        // the edges a zone drag holds
    QPoint dragFrom_;
    QPoint dragScroll_;
    QRect dragRect_;  // in squares, what the drag shows now
};
