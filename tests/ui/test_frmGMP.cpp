// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "core/gmp/CityMap.h"
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
    // A press on square `from`, a move to `to` and a release there, as a user's mouse does.
    void Drag(QPointF from, QPointF to)
    {
        QWidget* port = view->viewport();
        for (auto [type, square] :
             {std::pair{QEvent::MouseButtonPress, from}, {QEvent::MouseMove, to}, {QEvent::MouseButtonRelease, to}}) {
            const QPointF at = view->ViewportPointOf(square);
            QMouseEvent e(type, at, port->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(port, &e);
        }
    }
    QString Zones()
    {
        QStringList rows;
        for (int i = 0; i < Get<QListWidget>("lstZones")->count(); ++i)
            rows << Get<QListWidget>("lstZones")->item(i)->text();
        return rows.join(" | ");
    }
    QString Selected() { return Get<QLineEdit>("txtZoneName")->text(); }
};

}  // namespace

class TestFrmGMP : public QObject {
    Q_OBJECT
private slots:
    void editsZonesUndoesAndSavesThemDrawsEachLidTurnedAndLitShowsLevelsAndThePointersSquareAndExports()
    {
        Viewer v;
        const std::string town = map_test::Town(), after = le::Chunk("XTRA", "not a map's own");
        const std::string path = v.Write("edit.gmp", town + after);
        v.Open(path);
        v.w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&v.w));
        // Central Park is smaller than Downtown, and after it: the check finds it, a click selects it.
        v.Click("cmdCheck");
        auto* findings = v.Get<QListWidget>("lstFindings");
        QVERIFY(findings->count() == 1 && findings->item(0)->text().startsWith("Error: Central Park is out of area"));
        QCOMPARE(v.Status(), QStringLiteral("Checked 2 zones: 1 error, 0 warnings."));
        ClickIndex(findings, findings->model()->index(0, 0));
        QCOMPARE(v.Selected(), QStringLiteral("Central Park"));
        v.view->ShowSquares(QRectF(0, 0, 160, 200));
        v.Drag({10, 10}, {10, 10});  // a click on the map
        QVERIFY(v.Selected() == "Downtown" && v.Get<QListWidget>("lstZones")->currentRow() == 0);

        // The panel: a name, a type, a size (which sorts the zone after the park), a refused place.
        auto* name = v.Get<QLineEdit>("txtZoneName");
        name->selectAll();
        QTest::keyClicks(name, "Uptown");
        QVERIFY(v.Modified());  // typed, not yet taken
        QTest::keyClick(name, Qt::Key_Return);
        QCOMPARE(v.Status(), QStringLiteral("Renamed zone Downtown to Uptown."));
        auto* type = v.Get<QComboBox>("cboZoneType");
        type->setFocus();
        QTest::keyClick(type, Qt::Key_Down);  // navigation to traffic light
        v.Get<QSpinBox>("spnZoneW")->setValue(100);
        QCOMPARE(v.Zones(), QStringLiteral("Central Park (navigation) | Uptown (traffic light)"));
        v.Get<QSpinBox>("spnZoneX")->setValue(200);
        QVERIFY(v.Said().contains("reaches past the map") && v.Get<QSpinBox>("spnZoneX")->value() == 2);

        // Dragging the right edge; drawing a zone inside the park; a click picks the smallest.
        v.Drag({102, 20}, {110, 21});
        QCOMPARE(v.Get<QSpinBox>("spnZoneW")->value(), 108);
        v.Click("cmdNewZone");
        v.Drag({50.5, 150.5}, {59.5, 154.5});
        QVERIFY(v.Selected() == "zone1" && name->hasFocus() && !v.Get<QAbstractButton>("cmdNewZone")->isChecked());
        QTest::keyClicks(name, "trigger");
        QTest::keyClick(name, Qt::Key_Return);
        v.Drag({52, 152}, {52, 152});
        QCOMPARE(v.Zones(),
                 QStringLiteral("trigger (general purpose) | Central Park (navigation) | Uptown (traffic light)"));
        QCOMPARE(v.Selected(), QStringLiteral("trigger"));
        v.view->setFocus();
        QTest::keyClick(v.view, Qt::Key_Delete);
        QCOMPARE(v.Status(), QStringLiteral("Deleted zone trigger."));

        // Undone to the file as read, then redone; each step exact.
        for (int i = 0; i < 7; ++i)
            v.Keys(QKeySequence(Qt::CTRL | Qt::Key_Z));
        QVERIFY(v.Zones() == "Downtown (navigation) | Central Park (navigation)" && !v.Modified());
        for (int i = 0; i < 6; ++i)
            v.Keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
        QVERIFY(v.Selected() == "trigger" && v.Modified());

        // Another map waits for the unsaved changes; a save writes the zones alone, keeping a backup.
        v.platform.saveChoices = {SaveChoice::Cancel};
        v.Open(v.Write("other.gmp", town));
        QCOMPARE(v.w.Caption(), QStringLiteral("GMP Map Viewer - edit.gmp"));
        v.Keys(QKeySequence(Qt::CTRL | Qt::Key_S));
        const std::string saved = TempDir::Read(path), zonesAt = town.substr(0, town.rfind("ZONE"));
        QVERIFY(saved.starts_with(zonesAt) && saved.ends_with(after) && TempDir::Read(path + ".bak") == town + after);
        CityMap reread;
        reread.Load(path);
        const std::vector<MapZone> expected{
            {0, 50, 150, 10, 5, "trigger"}, {1, 48, 144, 48, 48, "Central Park"}, {2, 2, 2, 108, 40, "Uptown"}};
        QVERIFY(reread.Zones() == expected && !v.Modified() && v.Status() == "Saved edit.gmp.");
        v.platform.saveAnswers = {FromUtf8(v.dir.File("copy.gmp"))};
        v.Keys(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));  // the copy becomes the map shown
        QVERIFY(TempDir::Read(v.dir.File("copy.gmp")) == saved && v.w.Caption() == "GMP Map Viewer - copy.gmp");

        // The lids drawn turned and lit, levels, zones, the square under the pointer, exports.
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
        QCOMPARE(zones->item(1)->text(), QStringLiteral("Central Park (navigation)"));
        zones->setCurrentRow(1);  // the park, 48 x 48 squares from (48, 144)
        QVERIFY(v.view->VisibleSquares().contains(QRect(48, 144, 48, 48)));
        const QRect outline(48, 150, 1, 1);  // the zone's left edge runs through this square
        const QRgb withZones = v.view->Render(outline, 16).pixel(0, 8);
        QTest::mouseClick(v.Get<QCheckBox>("chkZones"), Qt::LeftButton);
        QVERIFY(v.view->Render(outline, 16).pixel(0, 8) != withZones);

        MovePointerOver(v.view->viewport(), v.view->ViewportPointOf(QPointF(49.5, 150.5)).toPoint());
        QCOMPARE(v.Status().left(45), QStringLiteral("x 49, y 150, z 0: pavement, flat   block 4   "));
        v.view->setFocus();  // keys zoom and pan the map
        const double zoom = v.view->Zoom();
        QTest::keyClick(v.view, Qt::Key_Minus);
        QCOMPARE(v.view->Zoom(), zoom / 1.5);
        const int across = v.view->horizontalScrollBar()->value();
        QTest::keyClick(v.view, Qt::Key_Right);
        QVERIFY(v.view->horizontalScrollBar()->value() > across);
        QTest::keyClick(v.view, Qt::Key_Plus);
        QCOMPARE(v.view->Zoom(), zoom);

        // Exports: the whole map, or the part shown; refused files change nothing.
        v.Get<QCheckBox>("chkZones")->setChecked(true);  // outlined in the picture too, drawn on the worker
        v.Get<QSpinBox>("spnScale")->setValue(2);
        v.Save("cmdExport", v.dir.File("whole.png"));
        QCOMPARE(v.platform.saveRequests.back().fileName, QStringLiteral("town.png"));
        const QImage whole(QString::fromStdString(v.dir.File("whole.png")));
        QCOMPARE(whole.convertToFormat(QImage::Format_RGB32), v.view->Render(QRect(0, 0, 256, 256), 2));
        QCOMPARE(v.Status(), QStringLiteral("Exported whole.png."));
        v.view->ShowSquares(QRectF(100, 100, 10, 10));  // the part shown goes at the zoom on screen
        v.Get<QComboBox>("cboExportArea")->setCurrentIndex(1);
        v.Save("cmdExport", v.dir.File("part.png"));
        QCOMPARE(QImage(QString::fromStdString(v.dir.File("part.png"))).convertToFormat(QImage::Format_RGB32),
                 v.view->Render(v.view->VisibleSquares(), v.view->Zoom()));

        v.Get<QComboBox>("cboExportArea")->setCurrentIndex(0);
        v.Get<QSpinBox>("spnScale")->setValue(64);  // 16384 pixels a side: refused before the dialog
        v.Click("cmdExport");
        QVERIFY(v.Said().contains("larger than the 8192 pixels") && v.platform.saveRequests.size() == 3);

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
