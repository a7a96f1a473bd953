// SPDX-License-Identifier: GPL-3.0-or-later
// The text preview on a font style made here: font 0 four pixels high without lower-case
// letters, font 1 seven high with them, '!' to '~' each, after four sprites of no font.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QtTest>

#include "core/io/FileIO.h"
#include "tests/support/StyBuilder.h"
#include "ui/windows/TextPreview.h"

using namespace sty_test;

class TestTextPreview : public QObject {
    Q_OBJECT
private slots:
    void drawsGlyphsAtTheZoomInTheChosenFontNamesMissingLettersAndDrawsNothingWithoutAStyle()
    {
        const std::vector<FontSpec> fonts = {{94, 4, false}, {94, 7, true}};
        auto style = std::make_shared<clsSTY>();
        style->ParseSTY(AsBytes(FontStyle(fonts, {1, 0, 2, 0, 1}).Build()), "f.sty");
        TextPreview pane(nullptr);
        pane.show();
        const auto text = [&](const char* name) { return pane.findChild<QLabel*>(name)->text(); };
        const auto canvas = [&] { return pane.findChild<QWidget*>("canvas")->grab().toImage(); };
        QSignalSpy asked(&pane, &TextPreview::StyleRequested), changed(&pane, &TextPreview::FontChanged);

        pane.ShowText("Ab");
        QVERIFY(text("lblStyle").startsWith("No font style") && !pane.Font() && canvas().isNull());
        pane.SetStyle(style, QStringLiteral("f.sty"));
        QTest::keyClick(pane.findChild<QComboBox*>("cmbZoom"), Qt::Key_Down);  // 2x
        QCOMPARE(pane.Font(), 1);                                              // the first with lower-case letters
        const QImage shown = canvas();
        const int a = GlyphWidth(7, 'A'), width = a + GlyphWidth(7, 'b');
        QVERIFY(shown.size() == QSize(2 * width, 14) &&
                text("lblWidth") == QStringLiteral("Width: %1 pixels").arg(width));
        for (int y = 0; y < 14; ++y)
            for (int x = 0; x < 2 * width; ++x) {
                const uint8_t b = x / 2 < a ? 'A' : 'b',
                              c = GlyphPixel(fonts[1], 1, b, x / 2 - (b == 'b' ? a : 0), y / 2);
                const int palette = (98 + b - 33) % 64;  // font 1's glyphs start at sprite 4 + 94
                QCOMPARE(shown.pixel(x, y), c ? qRgb(255 - c, palette * 4, c) : TextPreview::kTextBox);
            }

        pane.ShowText("a@\xAE");
        QCOMPARE(text("lblMissing"), QStringLiteral("Cannot draw: @ (0x40), ñ (0xAE)"));
        QTest::keyClick(pane.findChild<QComboBox*>("cmbFont"), Qt::Key_Up);
        QVERIFY(pane.Font() == 0 && changed.count() == 1 && canvas().height() == 8);
        QCOMPARE(text("lblMissing"), QStringLiteral("Cannot draw: @ (0x40), a (0x61), ñ (0xAE)"));
        pane.ShowText("AB");
        QVERIFY(text("lblMissing").isEmpty());

        pane.resize(TextPreview::kDefaultSize + QSize(200, 0));  // it grows with the editor
        QCOMPARE(pane.findChild<QScrollArea*>("picText")->width(), TextPreview::kDefaultSize.width() + 200);
        QTest::mouseClick(pane.findChild<QPushButton*>("cmdStyle"), Qt::LeftButton);
        pane.SetStyle(nullptr, {});
        QVERIFY(asked.count() == 1 && !pane.Font() && canvas().isNull() && text("lblWidth").isEmpty());
    }
};

QTEST_MAIN(TestTextPreview)
#include "test_TextPreview.moc"
