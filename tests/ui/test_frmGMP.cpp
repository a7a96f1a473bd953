#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include "core/gmp/MapLids.h"
#include "tests/support/MapBuilder.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/MapView.h"
#include "ui/windows/frmGMP.h"

namespace {

// TownStyle's colours, as the lids show them.
constexpr QRgb kLine = 0xFFF0E8A0, kStone = 0xFFA8A8A0, kRed = 0xFFA84830;

// The viewer with the made-up town and its style in its folder.
struct Viewer : UiFixture<frmGMP> {
    MapView* view = w.View();
    Viewer()
    {
        Write("town.gmp", map_test::Town());
        Write("town.sty", map_test::TownStyle().Build());
    }
    void Open(const std::string& file, const char* button = "cmdOpen")
    {
        platform.openAnswers.push_back(FromUtf8(file));
        Click(button);
    }
    void Export(const std::string& file) { Save("cmdExport", file); }
    // The top left 2 x 2 squares at full size: a crossing, the east-west road to its
    // right, the north-south road below it and paving.
    QImage Corner() { return view->Render(QRect(0, 0, 2, 2), 64); }
};

}  // namespace

class TestFrmGMP : public QObject {
    Q_OBJECT
private slots:
    void drawsEachLidTurnedAndLitAndShowsLevelsZonesAndTheSquareUnderThePointer()
    {
        Viewer v;
        const std::string bare = v.dir.File("bare.gmp");  // no style beside it: flat colours
        TempDir::Write(bare, map_test::Town());
        v.Open(bare);
        QCOMPARE(v.platform.openRequests.back().filter, QStringLiteral("GMP Files (*.gmp)|*.gmp"));
        QCOMPARE(v.Get<QLabel>("lblStyle")->text(), QStringLiteral("No style: flat colours"));
        QCOMPARE(v.Corner().pixel(100, 10), 0xFF000000 | FlatLidColour({1, 0, false, 0}));
        v.Open(v.dir.File("town.gmp"));
        QCOMPARE(v.Get<QLabel>("lblStyle")->text(), QStringLiteral("Style: town.sty"));
        QCOMPARE(v.view->Zoom(), v.view->FitZoom());
        const QImage corner = v.Corner();
        QCOMPARE(corner.pixel(64 + 60, 32), kLine);                    // the arrowhead points east ...
        QCOMPARE(corner.pixel(32, 64 + 60), kLine);                    // ... and, turned a quarter, south
        QCOMPARE(corner.pixel(5, 5), 0xFF000000 | Darken(kStone, 1));  // the crossing is lit at level 1

        v.Get<QSlider>("sldZoom")->setValue(100);  // all the way in, then to the top left corner
        QCOMPARE(v.view->Zoom(), MapView::kMostZoom);
        v.view->horizontalScrollBar()->setValue(0);
        v.view->verticalScrollBar()->setValue(0);
        QCOMPARE(v.view->viewport()->grab().toImage().pixel(124, 32), kLine);
        v.Get<QSlider>("sldZoom")->setValue(0);
        QCOMPARE(v.view->Zoom(), v.view->FitZoom());

        const QRect building(4, 20, 1, 1);  // a roof at level 4 lit at 3, over walls on paving
        QCOMPARE(v.view->Render(building, 64).pixel(40, 40), 0xFF000000 | Darken(kRed, 3));
        v.Get<QSlider>("sldLevel")->setValue(3);  // the walls have no lids: the paving shows
        QCOMPARE(v.view->Render(building, 64).pixel(40, 40), kStone);
        QCOMPARE(v.Get<QLabel>("lblLevel")->text(), QStringLiteral("3"));

        auto* zones = v.Get<QListWidget>("lstZones");
        QCOMPARE(zones->item(1)->text(), QStringLiteral("Central Park (type 1)"));
        zones->setCurrentRow(1);  // the park, 48 x 48 squares from (48, 144)
        QVERIFY(v.view->VisibleSquares().contains(QRect(48, 144, 48, 48)));
        const QPointF centre = v.view->SquareAt(QPointF(v.view->viewport()->rect().center()));
        QVERIFY(qAbs(centre.x() - 72) < 1 && qAbs(centre.y() - 168) < 1);
        const QRect outline(48, 150, 1, 1);  // the zone's left edge runs through this square
        const QRgb withZones = v.view->Render(outline, 16).pixel(0, 8);
        QTest::mouseClick(v.Get<QCheckBox>("chkZones"), Qt::LeftButton);
        QVERIFY(v.view->Render(outline, 16).pixel(0, 8) != withZones);

        const QPointF square = v.view->ViewportPointOf(QPointF(60.5, 150.5));
        MovePointerOver(v.view->viewport(), square.toPoint());
        QCOMPARE(v.Get<QLabel>("lblStatus")->text().left(36), QStringLiteral("x 60, y 150, z 0: block 5   lid 3   "));
    }

    void exportsTheWholeMapOrThePartShownAndRefusedFilesChangeNothing()
    {
        Viewer v;
        v.Open(v.dir.File("town.gmp"));
        v.Get<QSpinBox>("spnScale")->setValue(2);
        v.Export(v.dir.File("whole.png"));
        QCOMPARE(v.platform.saveRequests.back().fileName, QStringLiteral("town.png"));
        QImage saved(QString::fromStdString(v.dir.File("whole.png")));
        QCOMPARE(saved.size(), QSize(512, 512));
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), v.view->Render(QRect(0, 0, 256, 256), 2));

        v.view->ShowSquares(QRectF(100, 100, 10, 10));
        v.Get<QComboBox>("cboExportArea")->setCurrentIndex(1);
        v.Export(v.dir.File("part.png"));
        QCOMPARE(QImage(QString::fromStdString(v.dir.File("part.png"))).size(), v.view->VisibleSquares().size() * 2);

        const std::size_t asked = v.platform.saveRequests.size();
        v.Get<QComboBox>("cboExportArea")->setCurrentIndex(0);
        v.Get<QSpinBox>("spnScale")->setValue(64);  // 16384 pixels a side: refused before the dialog
        QTest::mouseClick(v.Get<QPushButton>("cmdExport"), Qt::LeftButton);
        QVERIFY(v.Said().contains("larger than the 8192 pixels"));
        QCOMPARE(v.platform.saveRequests.size(), asked);
        v.Get<QSpinBox>("spnScale")->setValue(1);
        v.Export("");  // cancelled
        const std::string nowhere = v.dir.File("gone/town.png");
        v.Export(nowhere);
        QVERIFY(v.Said().contains(FromUtf8(nowhere) + " could not be written"));

        const QImage before = v.Corner();
        const std::string damaged = v.dir.File("damaged.gmp");
        map_test::BlockData columnless;
        columnless.Put(0, 0, 5);
        TempDir::Write(damaged, map_test::MapFile(columnless));
        v.commands = {v.Get("cmdOpen"), v.Get("cmdStyle"), v.Get("cmdExport")};
        v.meddle = [&] { v.w.close(); };  // refused while the load runs
        v.Open(damaged);
        v.meddle = [] {};
        QVERIFY(v.updates >= 1);
        QCOMPARE(v.enabled, 0);
        QVERIFY(v.w.isVisible() && v.Get<QPushButton>("cmdExport")->isEnabled());
        QVERIFY(v.Said().contains(FromUtf8(damaged)) && v.Said().contains("the column at word 5"));
        QCOMPARE(v.Corner(), before);
        QCOMPARE(v.Get<QListWidget>("lstZones")->count(), 4);

        TempDir::Write(v.dir.File("bad.sty"), "GBST");
        v.Open(v.dir.File("bad.sty"), "cmdStyle");
        QCOMPARE(v.platform.openRequests.back().fileName, QStringLiteral("town.sty"));  // offered first
        QVERIFY(v.Said().contains("bad.sty"));
        QCOMPARE(v.Get<QLabel>("lblStyle")->text(), QStringLiteral("Style: town.sty"));
        QCOMPARE(v.Corner(), before);
    }
};

QTEST_MAIN(TestFrmGMP)
#include "test_frmGMP.moc"
