// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/Artwork.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "ui/platform/modGTA2Qt.h"

namespace {

QFont LogoFont(double pointSize, bool italic)
{
    QFont font = TahomaFont(pointSize);
    font.setBold(true);
    font.setItalic(italic);
    return font;
}

// A bird's wing in three strokes, the kestrel of the name.
void DrawWing(QPainter& p, const QRectF& box)
{
    QPainterPath wing;
    wing.moveTo(box.left(), box.bottom());
    wing.cubicTo(box.left() + box.width() * 0.35, box.top() + box.height() * 0.15, box.left() + box.width() * 0.7,
                 box.top(), box.right(), box.top() + box.height() * 0.1);
    wing.cubicTo(box.left() + box.width() * 0.7, box.top() + box.height() * 0.35, box.left() + box.width() * 0.45,
                 box.top() + box.height() * 0.55, box.left() + box.width() * 0.3, box.bottom() - box.height() * 0.1);
    wing.closeSubpath();
    QLinearGradient fill(box.topLeft(), box.bottomRight());
    fill.setColorAt(0, QColor(255, 214, 90));
    fill.setColorAt(1, QColor(200, 90, 20));
    p.setPen(QPen(QColor(60, 20, 0), 2));
    p.setBrush(fill);
    p.drawPath(wing);
}

}  // namespace

QPixmap MakeLogo()
{
    QImage image(347, 91, QImage::Format_RGB888);  // 24-bit colour
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 91);
    sky.setColorAt(0, QColor(40, 8, 8));
    sky.setColorAt(1, QColor(0, 0, 0));
    p.fillRect(image.rect(), sky);

    DrawWing(p, QRectF(8, 10, 70, 64));

    QPainterPath title;
    title.addText(86, 58, LogoFont(31, true), QStringLiteral("KESTROVA"));
    QLinearGradient gold(0, 22, 0, 60);
    gold.setColorAt(0, QColor(255, 236, 140));
    gold.setColorAt(1, QColor(230, 120, 20));
    p.setPen(QPen(QColor(90, 30, 0), 2.5));
    p.setBrush(gold);
    p.drawPath(title);

    p.setPen(QColor(200, 200, 200));
    p.setFont(LogoFont(9, false));
    p.drawText(QRect(86, 64, 255, 20), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("GTA2 data file editor"));
    p.end();
    return QPixmap::fromImage(image);
}

QCursor MakeHandCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    QPainterPath hand;
    hand.addRoundedRect(QRectF(11, 4, 5, 14), 2.5, 2.5);  // pointing finger, tip at (13, 5)
    hand.addRoundedRect(QRectF(16, 11, 4, 9), 2, 2);      // folded fingers
    hand.addRoundedRect(QRectF(20, 12, 4, 8), 2, 2);
    hand.addRoundedRect(QRectF(24, 13, 3, 7), 1.5, 1.5);
    hand.addRoundedRect(QRectF(6, 15, 6, 5), 2.5, 2.5);  // thumb
    hand.addRoundedRect(QRectF(9, 16, 18, 12), 4, 4);    // palm
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::white);
    p.drawPath(hand.simplified());
    p.end();
    return QCursor(pixmap, kHandHotSpotX, kHandHotSpotY);
}

QImage DrawAppIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(30, 4, 4));
    const double rim = size / 16.0;  // kept inside the picture at every size
    p.setPen(QPen(QColor(230, 120, 20), rim));
    p.drawRoundedRect(QRectF(rim / 2, rim / 2, size - rim, size - rim), size / 6.0, size / 6.0);
    DrawWing(p, QRectF(size * 0.18, size * 0.2, size * 0.64, size * 0.6));
    p.end();
    return image;
}

QIcon MakeAppIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(QPixmap::fromImage(DrawAppIcon(size)));
    return icon;
}
