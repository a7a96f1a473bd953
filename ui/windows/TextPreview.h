// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The text editor's preview: one text drawn as the game's font draws it, at a whole zoom,
// with its width in pixels and the letters the font cannot show. The font's glyphs are
// read when the style or the font changes; showing a text only draws it.

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "core/sty/FontText.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;

class TextPreview : public QWidget {
    Q_OBJECT
public:
    // The pane's default size; it grows in width with its parent.
    static constexpr QSize kDefaultSize{513, 152};
    // Around the drawn text, dark and neutral so that light and dark glyphs stand out;
    // the text's own box is a shade lighter, so its width and transparent pixels show.
    static constexpr QRgb kBackground = 0xFF303030;
    static constexpr QRgb kTextBox = 0xFF404040;

    explicit TextPreview(QWidget* parent);
    ~TextPreview() override;

    // The font style to draw with, and the name its label shows; nullptr for none.
    void SetStyle(std::shared_ptr<const clsSTY> style, const QString& styleName);
    // Draws `bytes`, a text as the text model stores it, in the chosen font.
    void ShowText(const std::string& bytes);
    // The chosen font; none without a style that has fonts.
    std::optional<int> Font() const;

signals:
    void StyleRequested();  // "Font style..." was pressed
    void FontChanged();     // the user picked another font

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Canvas;

    void UseFont(int font);
    void Redraw();
    void ShowLabels();

    QPushButton* cmdStyle;
    QLabel* lblStyle;
    QComboBox* cmbFont;
    QComboBox* cmbZoom;
    QScrollArea* picText;
    Canvas* canvas;
    QLabel* lblWidth;
    QLabel* lblMissing;

    // The font reads from the style: the style is kept while the font is.
    std::shared_ptr<const clsSTY> style_;
    std::optional<GameFont> font_;
    QString styleText_;
    QString fontProblem_;  // why the chosen font's glyphs cannot be read
    QString problem_;      // what the style label shows in place of the style's name
    std::string text_;
    DrawnText drawn_;
    QImage image_;  // over drawn_'s pixels
    QString missing_;
};
