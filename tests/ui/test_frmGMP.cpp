#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "core/gmp/Ground.h"
#include "core/gmp/MapLids.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/MapView.h"
#include "ui/windows/frmGMP.h"

namespace {

// Colour index c of TownStyle as the lids show it, darkened by the lighting.
QRgb Shown(int c, int lighting = 0)
{
    return 0xFF000000 | Darken(uint32_t(255 - c) << 16 | 128 << 8 | uint32_t(c), lighting);
}

// The viewer with the made-up town, and its style in its folder.
struct Viewer : UiFixture<frmGMP> {
    MapView* view = w.View();
    const std::string town = Write("town.gmp", map_test::Town()),
                      style = Write("town.sty", map_test::TownStyle().Build());
    // Squares at full size, a lid's pixels each.
    QRgb At(int x, int y, int px, int py) { return view->Render(QRect(x, y, 1, 1), 64).pixel(px, py); }
};

}  // namespace

class TestFrmGMP : public QObject {
    Q_OBJECT
private slots:
    void drawsEachLidTurnedAndLitShowsLevelsZonesAndTheSquareUnderThePointerAndExports()
    {
        Viewer v;
        v.Open(v.Write("bare.gmp", map_test::Town()));  // no style beside it: the ground types' colours
        QCOMPARE(v.At(1, 0, 10, 10), SchematicColour(Ground::Road, 0));
        QCOMPARE(v.At(20, 20, 10, 10), SchematicColour(Ground::Pavement, 4));  // a roof
        v.Open(v.town);
        QCOMPARE(v.Get<QLabel>("lblStyle")->text(), QStringLiteral("Style: town.sty"));
        QCOMPARE(v.At(1, 0, 60, 32), Shown(2));       // the arrowhead points east ...
        QCOMPARE(v.At(0, 1, 32, 60), Shown(2));       // ... and, turned a quarter, south
        QCOMPARE(v.At(0, 0, 5, 5), Shown(3, 1));      // the crossing is lit at level 1
        QCOMPARE(v.At(20, 20, 40, 40), Shown(6, 3));  // a roof at level 4, lit at 3
        v.Get<QSlider>("sldLevel")->setValue(3);      // the walls have no lids: the paving shows
        QCOMPARE(v.At(20, 20, 40, 40), Shown(3));

        v.Get<QSlider>("sldZoom")->setValue(100);  // all the way in, then to the top left corner
        QCOMPARE(v.view->Zoom(), MapView::kMostZoom);
        v.view->horizontalScrollBar()->setValue(0);
        v.view->verticalScrollBar()->setValue(0);
        QCOMPARE(v.view->viewport()->grab().toImage().pixel(124, 32), Shown(2));

        auto* zones = v.Get<QListWidget>("lstZones");
        QCOMPARE(zones->item(1)->text(), QStringLiteral("Central Park (type 1)"));
        zones->setCurrentRow(1);  // the park, 48 x 48 squares from (48, 144)
        QVERIFY(v.view->VisibleSquares().contains(QRect(48, 144, 48, 48)));
        const QRect outline(48, 150, 1, 1);  // the zone's left edge runs through this square
        const QRgb withZones = v.view->Render(outline, 16).pixel(0, 8);
        QTest::mouseClick(v.Get<QCheckBox>("chkZones"), Qt::LeftButton);
        QVERIFY(v.view->Render(outline, 16).pixel(0, 8) != withZones);

        MovePointerOver(v.view->viewport(), v.view->ViewportPointOf(QPointF(49.5, 150.5)).toPoint());
        QCOMPARE(v.Get<QLabel>("lblStatus")->text().left(28), QStringLiteral("x 49, y 150, z 0: block 4   "));

        // Exports: the whole map, or the part shown; refused files change nothing.
        v.Get<QSpinBox>("spnScale")->setValue(2);
        v.Save("cmdExport", v.dir.File("whole.png"));
        QCOMPARE(v.platform.saveRequests.back().fileName, QStringLiteral("town.png"));
        const QImage saved(QString::fromStdString(v.dir.File("whole.png")));
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), v.view->Render(QRect(0, 0, 256, 256), 2));
        v.view->ShowSquares(QRectF(100, 100, 10, 10));
        v.Get<QComboBox>("cboExportArea")->setCurrentIndex(1);
        v.Save("cmdExport", v.dir.File("part.png"));
        QCOMPARE(QImage(QString::fromStdString(v.dir.File("part.png"))).size(), v.view->VisibleSquares().size() * 2);

        v.Get<QComboBox>("cboExportArea")->setCurrentIndex(0);
        v.Get<QSpinBox>("spnScale")->setValue(64);  // 16384 pixels a side: refused before the dialog
        v.Click("cmdExport");
        QVERIFY(v.Said().contains("larger than the 8192 pixels") && v.platform.saveRequests.size() == 2);

        const QImage before = v.view->Render(QRect(0, 0, 2, 2), 64);
        map_test::BlockData columnless;
        columnless.Put(0, 0, 5);
        const std::string damaged = v.Write("damaged.gmp", map_test::MapFile(columnless));
        v.Open(damaged);  // the map shown stays
        QVERIFY(v.Said().contains(FromUtf8(damaged)) && v.Said().contains("the column at word 5"));
        QVERIFY(v.Get<QListWidget>("lstZones")->count() == 2 && v.Get("cmdExport")->isEnabled());
        v.Open(v.Write("bad.sty", "GBST"), "cmdStyle");
        QVERIFY(v.Said().contains("bad.sty") && v.Get<QLabel>("lblStyle")->text() == "Style: town.sty");
        QCOMPARE(v.view->Render(QRect(0, 0, 2, 2), 64), before);

        // While a map loads nothing starts, and closing stops the load: the window goes once it has.
        const int told = v.Told();
        v.platform.openAnswers = {FromUtf8(v.dir.File("bare.gmp"))};
        QVERIFY(v.WhileBusy([&] { v.Press("cmdOpen"); },
                            [&] {
                                QCOMPARE(v.Usable(), QStringList());
                                QVERIFY(!v.w.close() && v.w.isVisible());
                            }));
        QVERIFY(!v.w.isVisible() && v.w.Caption() == "GMP Map Viewer - town.gmp" && v.Told() == told);
    }
};

QTEST_MAIN(TestFrmGMP)
#include "test_frmGMP.moc"
