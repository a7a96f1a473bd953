#pragma once
#include <QAbstractScrollArea>
#include <QImage>
#include <cstdint>
#include <vector>

class CityMap;
class clsSTY;

// The map seen from above: each square shows the lid of its highest block at or below
// the chosen level, from the style's tiles or, without a style, in the colour of its
// ground type (CityPicture.h), with the zones outlined over it. Zooms from the whole map up to 64 screen pixels a
// block; pans with the scroll bars and by dragging; the wheel zooms about the pointer.
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
    // The zone drawn marked, by its index in the map's list; -1 for none.
    void MarkZone(int zone);

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
    QImage Render(const QRect& squares, int blockPixels);

signals:
    void ZoomChanged(double blockPixels);
    // The square under the pointer; -1, -1 when it is off the map.
    void Hovered(int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // The viewport's top left, in pixels of the map drawn at the current zoom.
    QPointF Origin() const;
    void UpdateScrollBars();
    void RefreshLids();
    // Draws the squares into `target`, whose top left is `origin` in map pixels at `scale`.
    void Compose(QImage& target, QPointF origin, double scale);
    void DrawZones(QImage& target, QPointF origin, double scale) const;
    const QImage& FullLid(uint16_t look);
    const QImage& SizedLid(uint16_t look, int side);
    void DropSizedLids();

    const CityMap* map_ = nullptr;
    clsSTY* style_ = nullptr;
    int level_ = 7;
    bool zonesShown_ = true;
    int markedZone_ = -1;
    double zoom_ = 1;
    bool fitted_ = true;  // follows the viewport's size while the whole map is shown

    std::vector<uint16_t> lids_;         // per square, the face seen from above
    std::vector<uint32_t> schematic_;    // per square, its ground type's colour
    std::vector<QImage> fullLids_;       // per look, 64 x 64; null until needed
    std::vector<QImage> sizedLids_;      // per look, sizedSide_ a side
    std::vector<uint16_t> sizedFilled_;  // the looks sizedLids_ holds
    int sizedSide_ = 0;
    QImage frame_;

    QPoint dragFrom_;
    QPoint dragScroll_;
    bool dragging_ = false;
};
