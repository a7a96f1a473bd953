// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/windows/FontTable.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

#include "images/StyImages.h"
#include "ui/windows/StyPicture.h"

namespace {

constexpr int kPad = 4;
constexpr QRgb kCode = 0xFFC8C8C8;

// The legend across the top: what the two marks mean.
int LegendHeight()
{
    return QFontMetrics(QFont()).height() + 2 * kPad;
}

void DrawLegend(QPainter& painter)
{
    const int side = QFontMetrics(QFont()).height();
    const std::pair<QBrush, QString> marks[] = {
        {QBrush(QColor::fromRgb(FontTable::kBlank)), QStringLiteral("blank: no visible pixel")},
        {QBrush(QColor::fromRgb(FontTable::kHatch), Qt::BDiagPattern),
         QStringLiteral("absent: the font has no such character")}};
    int x = kPad;
    for (const auto& [brush, text] : marks) {
        painter.fillRect(QRect(x, kPad, side, side), brush);
        x += side + kPad;
        const QRect room(x, kPad, painter.device()->width(), side);
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter, text);
        x += painter.fontMetrics().horizontalAdvance(text) + 4 * kPad;
    }
}

QString Code(int code)
{
    return QStringLiteral("0x") + QString::number(code, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

}  // namespace

FontTable::FontTable(const clsSTY& style, int font) : font_(font), height_(style.FontHeight(font))
{
    // Characters past byte 255 no text can reach.
    const int count = std::min(style.FontCharacters(font), 256 - clsSTY::kFirstFontCharacter);
    const int first = style.FontFirstSprite(font);
    for (int c = 0; c < count; ++c) {
        const ItemPixels pixels = PixelsOf(style, StyItem::Sprite, first + c);
        glyphs_.push_back(IndexedImage(pixels, PaletteColours(style, pixels.pal, true)));
        visible_.push_back(std::any_of(pixels.indices.begin(), pixels.indices.end(), [](uint8_t i) { return i != 0; }));
        widest_ = std::max(widest_, pixels.width);
    }
}

FontTable::Mark FontTable::MarkOf(uint8_t code) const
{
    const int c = code - clsSTY::kFirstFontCharacter;
    if (c < 0 || c >= static_cast<int>(glyphs_.size()))
        return Mark::Absent;
    return visible_[static_cast<std::size_t>(c)] ? Mark::Glyph : Mark::Blank;
}

QSize FontTable::Cell(int scale) const
{
    const QFontMetrics metrics{QFont()};
    const int width = std::max(widest_ * scale, metrics.horizontalAdvance(QStringLiteral("0xMM")));
    return {width + 2 * kPad, std::max(height_, 1) * scale + metrics.height() + 3 * kPad};
}

QRect FontTable::GlyphArea(uint8_t code, int scale) const
{
    const QSize cell = Cell(scale);
    const int at = code - kFirstRow;
    return {at % kColumns * cell.width() + kPad, LegendHeight() + at / kColumns * cell.height() + kPad,
            cell.width() - 2 * kPad, std::max(height_, 1) * scale};
}

QImage FontTable::Draw(int scale) const
{
    const QSize cell = Cell(scale);
    QImage table(cell.width() * kColumns, LegendHeight() + cell.height() * ((256 - kFirstRow) / kColumns),
                 QImage::Format_RGB32);
    table.fill(StyPicture::kBackground);
    QPainter painter(&table);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setPen(QColor::fromRgb(kCode));
    DrawLegend(painter);
    // The space before '!' is no character of any font: its cell stays empty.
    for (int code = clsSTY::kFirstFontCharacter; code < 256; ++code) {
        const QRect area = GlyphArea(static_cast<uint8_t>(code), scale);
        switch (MarkOf(static_cast<uint8_t>(code))) {
            case Mark::Absent:
                painter.fillRect(area, QBrush(QColor::fromRgb(kHatch), Qt::BDiagPattern));
                break;
            case Mark::Blank:
                painter.fillRect(area, QColor::fromRgb(kBlank));
                break;
            case Mark::Glyph: {
                const QImage& glyph = glyphs_[static_cast<std::size_t>(code - clsSTY::kFirstFontCharacter)];
                const QSize size = glyph.size() * scale;
                painter.drawImage(
                    QRect(area.left() + (area.width() - size.width()) / 2, area.top(), size.width(), size.height()),
                    glyph);
                break;
            }
        }
        painter.drawText(QRect(area.left(), area.bottom() + kPad, area.width(), cell.height()),
                         Qt::AlignHCenter | Qt::AlignTop, Code(code));
    }
    return table;
}

QString FontTable::Summary() const
{
    if (glyphs_.empty())
        return QStringLiteral("Font %1: no characters").arg(font_);
    return QStringLiteral("Font %1: %2 to %3, %4 pixels high")
        .arg(font_)
        .arg(Code(clsSTY::kFirstFontCharacter), Code(clsSTY::kFirstFontCharacter + int(glyphs_.size()) - 1))
        .arg(height_);
}
