#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "tests/support/UiTestSupport.h"

#include "app/BitmapHeader.h"
#include "app/PathRules.h"
#include "app/modGTA2Qt.h"
#include "models/sty/StyExport.h"
#include "models/sty/clsSTY.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"
#include "windows/StyPicture.h"
#include "windows/frmProgress.h"
#include "windows/frmSTY.h"

using namespace sty_test;

namespace {

// Colour c of palette p in SmallStyle: red 255 - c, green p * 4, blue c.
QRgb Ramp(int p, int c)
{
    return qRgb(255 - c, p * 4, c);
}

// The viewer with its controls found by name, shown on the offscreen screen.
struct Viewer {
    Viewer()
    {
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("frmSTY did not become active");
    }

    template <typename T>
    T* Find(const char* name)
    {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }

    QTreeWidget* pix() { return Find<QTreeWidget>("pix"); }
    QWidget* pic() { return Find<QWidget>("pic"); }
    QLineEdit* txtPal() { return Find<QLineEdit>("txtPal"); }
    QLabel* lblInfo() { return Find<QLabel>("lblInfo"); }
    QCheckBox* chkTrans() { return Find<QCheckBox>("chkTrans"); }
    QPushButton* cmdOpen() { return Find<QPushButton>("cmdOpen"); }
    QPushButton* cmdExport() { return Find<QPushButton>("cmdExport"); }

    void Open(const std::string& file)
    {
        platform.openAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(cmdOpen(), Qt::LeftButton);
    }

    std::string Write(const std::string& name, const std::string& bytes)
    {
        TempDir::Write(dir.File(name), bytes);
        return dir.File(name);
    }

    // A category under "Graphics" by its text, or one of its items by number.
    QTreeWidgetItem* Node(const QString& category, int item = -1)
    {
        QTreeWidgetItem* root = pix()->topLevelItem(0);
        for (int i = 0; root && i < root->childCount(); ++i)
            if (root->child(i)->text(0) == category)
                return item < 0 ? root->child(i) : root->child(i)->child(item);
        return nullptr;
    }

    void Click(QTreeWidgetItem* node)
    {
        QVERIFY(node);
        pix()->scrollToItem(node);
        QTest::mouseClick(pix()->viewport(), Qt::LeftButton, {}, pix()->visualItemRect(node).center());
    }

    // Replaces the palette box's text key by key, as a user would.
    void Type(const QString& keys, bool replace = true)
    {
        if (replace)
            QTest::keyClick(txtPal(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(txtPal(), keys);
    }

    QRgb Pixel(int x, int y) { return pic()->grab().toImage().pixel(x, y) | 0xFF000000u; }

    ScriptedPlatform platform;
    TempDir dir;
    frmSTY w;
};

}  // namespace

class TestFrmSTY : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitBitmapHeader(); }

    void StartsEmptyAndOpensIntoTheTree()
    {
        Viewer v;
        QCOMPARE(v.w.windowTitle(), QStringLiteral("STY Editor"));
        QCOMPARE(v.pix()->topLevelItemCount(), 0);
        QCOMPARE(v.txtPal()->text(), QStringLiteral("0"));
        QVERIFY(!v.chkTrans()->isChecked());
        QVERIFY(!v.cmdExport()->isEnabled());
        QCOMPARE(v.Pixel(10, 10), StyPicture::kBackground);
        QVERIFY(v.pic()->width() >= 256 && v.pic()->height() >= 256);

        v.platform.openAnswers.push_back(QString());  // cancelled
        QTest::mouseClick(v.cmdOpen(), Qt::LeftButton);
        QCOMPARE(v.pix()->topLevelItemCount(), 0);
        QVERIFY(!v.cmdExport()->isEnabled());
        QCOMPARE(v.platform.openRequests.back().filter, QStringLiteral("STY Files (*.sty)|*.sty"));
        QCOMPARE(v.platform.openRequests.back().directory, FromUtf8(sDataPath()));

        v.Open(v.Write("small.sty", SmallStyle().Build()));
        QVERIFY(v.cmdExport()->isEnabled());
        QTreeWidgetItem* root = v.pix()->topLevelItem(0);
        QCOMPARE(root->text(0), QStringLiteral("Graphics"));
        QVERIFY(root->isExpanded());
        QCOMPARE(root->childCount(), 3);
        QCOMPARE(root->child(0)->text(0), QStringLiteral("Tiles"));
        QCOMPARE(root->child(1)->text(0), QStringLiteral("Sprites"));
        QCOMPARE(root->child(2)->text(0), QStringLiteral("Palettes"));
        QCOMPARE(v.Node("Tiles")->childCount(), 4);
        QCOMPARE(v.Node("Sprites")->childCount(), 4);
        QCOMPARE(v.Node("Palettes")->childCount(), 64);
        QCOMPARE(v.Node("Palettes", 63)->text(0), QStringLiteral("63"));

        // Without tiles the category goes; empty ones of the other kinds stay.
        StyleFile noTiles = SmallStyle();
        noTiles.tiles.clear();
        noTiles.sprites.clear();
        v.Open(v.Write("notiles.sty", noTiles.Build()));
        QCOMPARE(v.pix()->topLevelItem(0)->childCount(), 2);
        QVERIFY(!v.Node("Tiles"));
        QCOMPARE(v.Node("Sprites")->childCount(), 0);
        QCOMPARE(v.Node("Palettes")->childCount(), 64);
    }

    void ClickingNodesDrawsTilesSpritesAndPaletteStrips()
    {
        Viewer v;
        v.Open(v.Write("small.sty", SmallStyle().Build()));

        v.Click(v.Node("Tiles", 2));  // virtual palette 2 names physical palette 3
        QCOMPARE(v.lblInfo()->text(), QStringLiteral("Size: 64x64"));
        QCOMPARE(v.txtPal()->text(), QStringLiteral("3"));
        QCOMPARE(v.Pixel(30, 40), Ramp(3, SmallTilePixel(2, 30, 40)));
        QCOMPARE(v.Pixel(64, 10), StyPicture::kBackground);

        v.Click(v.Node("Sprites", 0));  // 5 x 3 with palette 10
        QCOMPARE(v.lblInfo()->text(), QStringLiteral("Size: 5x3"));
        QCOMPARE(v.txtPal()->text(), QStringLiteral("10"));
        QCOMPARE(v.Pixel(0, 0), Ramp(10, 0));
        QCOMPARE(v.Pixel(5, 0), StyPicture::kBackground);  // the tile drawn before is gone

        // The strip leaves the size and palette box alone.
        v.Click(v.Node("Palettes", 7));
        for (int i : {0, 100, 255})
            QCOMPARE(v.Pixel(i, 25), Ramp(7, i));
        QCOMPARE(v.Pixel(100, 60), StyPicture::kBackground);
        QCOMPARE(v.lblInfo()->text(), QStringLiteral("Size: 5x3"));
        QCOMPARE(v.txtPal()->text(), QStringLiteral("10"));

        // The root changes nothing; a category redraws nothing but rewrites the texts.
        v.txtPal()->setText(QStringLiteral("x"));
        v.Click(v.pix()->topLevelItem(0));
        QCOMPARE(v.txtPal()->text(), QStringLiteral("x"));
        v.Click(v.Node("Sprites"));
        QCOMPARE(v.txtPal()->text(), QStringLiteral("10"));
        QCOMPARE(v.Pixel(100, 25), Ramp(7, 100));

        // Arrow keys walk the items too.
        v.Click(v.Node("Tiles", 0));
        v.pix()->setFocus();
        QTest::keyClick(v.pix(), Qt::Key_Down);
        QCOMPARE(v.txtPal()->text(), QStringLiteral("2"));
    }

    void TypedPaletteNumbersRedrawTheSelectedSprite()
    {
        Viewer v;
        v.Open(v.Write("small.sty", SmallStyle().Build()));
        v.Click(v.Node("Sprites", 3));  // the disc, own palette 13; its centre has index 40
        QCOMPARE(v.txtPal()->text(), QStringLiteral("13"));
        auto centre = [&] { return v.Pixel(20, 20); };
        QCOMPARE(centre(), Ramp(13, 40));

        v.Type(QStringLiteral("1"));
        QCOMPARE(centre(), Ramp(1, 40));
        v.Type(QStringLiteral("2"), false);
        QCOMPARE(centre(), Ramp(12, 40));
        QCOMPARE(v.txtPal()->text(), QStringLiteral("12"));
        QCOMPARE(v.lblInfo()->text(), QStringLiteral("Size: 40x40"));

        v.Type(QStringLiteral("65"));  // 6 is drawn, 65 is beyond the 64 palettes
        QCOMPARE(centre(), Ramp(6, 40));
        QVERIFY(!v.w.Typed());

        v.Type(QStringLiteral("0"));  // 0 means the sprite's own palette
        QCOMPARE(centre(), Ramp(13, 40));

        v.Type(QStringLiteral(" 9 "));  // blanks around a number are ignored
        QCOMPARE(centre(), Ramp(9, 40));
        // Only plain digits are palette numbers: signs, fractions and overflows are not.
        const std::vector<std::pair<QString, int>> typed = {
            {QStringLiteral("+5"), 9}, {QStringLiteral("-1"), 9}, {QStringLiteral("1.0"), 1},
            {QStringLiteral("99999999999"), 9}};
        for (const auto& [text, drawn] : typed) {
            v.Type(QStringLiteral("9"));
            v.Type(text);
            QVERIFY2(centre() == Ramp(drawn, 40), qPrintable(text));
        }
        v.Type(QStringLiteral("9"));
        v.Type(QStringLiteral("5x"));
        QCOMPARE(centre(), Ramp(5, 40));  // "5" drew, "5x" did not

        // Emptying the box draws nothing and leaves the flag set.
        v.Type(QStringLiteral("7"));
        QTest::keyClick(v.txtPal(), Qt::Key_Backspace);
        QCOMPARE(v.txtPal()->text(), QString());
        QVERIFY(v.w.Typed());
        QCOMPARE(centre(), Ramp(7, 40));

        // With a tile or a palette selected typing changes nothing and clears the flag.
        v.Click(v.Node("Tiles", 0));
        const QRgb tilePixel = v.Pixel(30, 30);
        v.Type(QStringLiteral("5"));
        QVERIFY(!v.w.Typed());
        QCOMPARE(v.Pixel(30, 30), tilePixel);
        v.Click(v.Node("Palettes", 2));
        v.Type(QStringLiteral("6"));
        QCOMPARE(v.Pixel(30, 30), Ramp(2, 30));
    }

    void DrawTransparentRedrawsWithTheOwnPalette()
    {
        Viewer v;
        v.Open(v.Write("small.sty", SmallStyle().Build()));
        v.Click(v.Node("Sprites", 3));
        v.Type(QStringLiteral("1"));
        QCOMPARE(v.Pixel(0, 0), Ramp(1, 0));

        QTest::mouseClick(v.chkTrans(), Qt::LeftButton);
        QVERIFY(v.chkTrans()->isChecked());
        QCOMPARE(v.txtPal()->text(), QStringLiteral("13"));
        QCOMPARE(v.Pixel(0, 0), qRgb(255, 0, 255));
        QCOMPARE(v.Pixel(20, 20), Ramp(13, 40));

        QTest::mouseClick(v.chkTrans(), Qt::LeftButton);
        QCOMPARE(v.Pixel(0, 0), Ramp(13, 0));

        // The setting holds for files opened later.
        QTest::mouseClick(v.chkTrans(), Qt::LeftButton);
        v.Open(v.Write("again.sty", SmallStyle().Build()));
        v.Click(v.Node("Tiles", 0));
        QCOMPARE(v.Pixel(0, 0), qRgb(255, 0, 255));
    }

    void ExportWritesTheSelectedItem()
    {
        Viewer v;
        const StyleFile small = SmallStyle();
        v.Open(v.Write("small.sty", small.Build()));
        clsSTY reference;
        reference.LoadSTY(v.dir.File("small.sty"));

        v.Click(v.Node("Tiles", 2));
        v.platform.saveAnswers.push_back(FromUtf8(v.dir.File("t.bmp")));
        QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        QCOMPARE(v.platform.saveRequests.back().fileName, QStringLiteral("Tile2.bmp"));
        QCOMPARE(v.platform.saveRequests.back().filter, QStringLiteral("BMP Files (*.bmp)|*.bmp"));
        reference.SaveTile(v.dir.File("ref.bmp"), 2);
        QCOMPARE(TempDir::Read(v.dir.File("t.bmp")).size(), std::size_t{5174});
        QVERIFY(TempDir::Read(v.dir.File("t.bmp")) == TempDir::Read(v.dir.File("ref.bmp")));

        // Viewed with palette 5, exported with its own.
        v.Click(v.Node("Sprites", 0));
        v.Type(QStringLiteral("5"));
        v.platform.saveAnswers.push_back(FromUtf8(v.dir.File("s.bmp")));
        QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        QCOMPARE(v.platform.saveRequests.back().fileName, QStringLiteral("Sprite0.bmp"));
        reference.SaveSprite(v.dir.File("ref.bmp"), 0);
        QCOMPARE(TempDir::Read(v.dir.File("s.bmp")).size(), std::size_t{1102});
        QVERIFY(TempDir::Read(v.dir.File("s.bmp")) == TempDir::Read(v.dir.File("ref.bmp")));

        v.Click(v.Node("Palettes", 3));
        v.platform.saveAnswers.push_back(FromUtf8(v.dir.File("p.pal")));
        QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        QCOMPARE(v.platform.saveRequests.back().fileName, QStringLiteral("Pal3.pal"));
        QCOMPARE(v.platform.saveRequests.back().filter, QStringLiteral("PAL Files (*.pal)|*.pal"));
        QVERIFY(TempDir::Read(v.dir.File("p.pal")) == JascPalText(reference, 3));

        // A category or the root names nothing: no dialog. A cancel writes nothing.
        const std::size_t asked = v.platform.saveRequests.size();
        for (QTreeWidgetItem* node : {v.Node("Tiles"), v.pix()->topLevelItem(0)}) {
            v.Click(node);
            QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        }
        QCOMPARE(v.platform.saveRequests.size(), asked);
        v.Click(v.Node("Tiles", 1));
        v.platform.saveAnswers.push_back(QString());
        QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        QCOMPARE(v.platform.saveRequests.size(), asked + 1);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(v.dir.Path()), {}), 5);

        // A file that cannot be written is named, with the reason.
        const std::string nowhere = v.dir.File("gone/Tile1.bmp");
        v.platform.saveAnswers.push_back(FromUtf8(nowhere));
        QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        QCOMPARE(v.platform.messages.size(), std::size_t{1});
        QVERIFY(v.platform.messages.back().text.contains(FromUtf8(nowhere)));
        QVERIFY(v.platform.messages.back().text.contains(QStringLiteral("cannot be written")));
    }

    void RefusedFilesAndMissingPartsAreReportedAndTheWindowGoesOn()
    {
        Viewer v;
        StyleFile file = SmallStyle();
        file.sprites.push_back({64 * 256 - 100, 200, 1});  // sprite 4 runs past the sprite graphics
        file.palx.push_back(14);
        file.sprites.push_back({0, 1, 1});  // sprite 5 has no virtual palette
        v.Open(v.Write("small.sty", file.Build()));
        v.Click(v.Node("Tiles", 1));
        const QRgb shown = v.Pixel(30, 30);

        const std::string damaged = v.Write("damaged.sty", Header() + ChunkHeader("TILE", -4));
        v.Open(damaged);
        QCOMPARE(v.platform.messages.size(), std::size_t{1});
        QVERIFY(v.platform.messages.back().text.contains(FromUtf8(damaged)));
        QVERIFY(v.platform.messages.back().text.contains(QStringLiteral("negative size")));
        QCOMPARE(v.Node("Sprites")->childCount(), 6);
        QVERIFY(v.cmdOpen()->isEnabled() && v.cmdExport()->isEnabled() && v.pix()->isEnabled());
        QCOMPARE(v.Pixel(30, 30), shown);

        v.Click(v.Node("Sprites", 4));
        QCOMPARE(v.platform.messages.size(), std::size_t{2});
        QVERIFY(v.platform.messages.back().text.contains(QStringLiteral("Sprite 4 cannot be shown")));
        QVERIFY(v.platform.messages.back().text.contains(QStringLiteral("outside the sprite graphics")));
        QCOMPARE(v.Pixel(30, 30), shown);
        QCOMPARE(v.lblInfo()->text(), QStringLiteral("Size: 64x64"));

        v.Click(v.Node("Sprites", 5));
        QVERIFY(v.platform.messages.back().text.contains(QStringLiteral("virtual palette entry 9")));
        v.platform.saveAnswers.push_back(FromUtf8(v.dir.File("Sprite5.bmp")));
        QTest::mouseClick(v.cmdExport(), Qt::LeftButton);
        QCOMPARE(v.platform.messages.size(), std::size_t{4});
        QVERIFY(!std::filesystem::exists(v.dir.File("Sprite5.bmp")));

        v.Click(v.Node("Sprites", 0));
        QCOMPARE(v.lblInfo()->text(), QStringLiteral("Size: 5x3"));
    }

    void NothingStartsWhileALoadRuns()
    {
        // Real progress window and event processing; at each update the user tries
        // every command of the viewer.
        struct Meddler : ProgressWindowReporter {
            Viewer* v = nullptr;
            int updates = 0;
            bool anythingEnabled = false;
            void Update(double value, const std::string& caption) override
            {
                ProgressWindowReporter::Update(value, caption);
                ++updates;
                for (QWidget* c : std::initializer_list<QWidget*>{v->cmdOpen(), v->cmdExport(), v->pix(),
                                                                  v->txtPal(), v->chkTrans()})
                    anythingEnabled = anythingEnabled || c->isEnabled();
                QTest::mouseClick(v->cmdOpen(), Qt::LeftButton);
                QTest::mouseClick(v->cmdExport(), Qt::LeftButton);
                QTest::mouseClick(v->chkTrans(), Qt::LeftButton);
                if (QTreeWidgetItem* node = v->Node("Tiles", 0)) {
                    v->Click(node);
                    v->w.pix_NodeClick(node);
                }
                QTest::keyClicks(v->txtPal(), QStringLiteral("5"));
                v->w.txtPal_Change();
                v->w.cmdOpen_Click();
                v->w.chkTrans_Click();
                v->w.cmdExport_Click();
                v->w.close();
            }
        };
        Viewer v;
        v.Open(v.Write("first.sty", SmallStyle().Build()));
        v.Click(v.Node("Tiles", 3));
        const QRgb shown = v.Pixel(30, 30);
        v.platform.saveAnswers.push_back(FromUtf8(v.dir.File("never.bmp")));

        Meddler meddler;
        meddler.v = &v;
        ProgressReporter* previous = InstallProgressReporter(&meddler);
        StyleFile second = SmallStyle();
        second.tiles.resize(8, FilledTile(1));
        v.platform.openAnswers.push_back(FromUtf8(v.Write("second.sty", second.Build())));
        v.platform.openAnswers.push_back(FromUtf8(v.dir.File("first.sty")));  // for an open that must not start
        QTest::mouseClick(v.cmdOpen(), Qt::LeftButton);
        InstallProgressReporter(previous);

        QVERIFY(meddler.updates >= 5);
        QVERIFY(!meddler.anythingEnabled);
        QCOMPARE(v.platform.openRequests.size(), std::size_t{2});
        QCOMPARE(v.platform.openAnswers.size(), std::size_t{1});
        QCOMPARE(v.Pixel(30, 30), shown);
        QCOMPARE(v.txtPal()->text(), QStringLiteral("4"));
        QCOMPARE(v.platform.saveRequests.size(), std::size_t{0});
        QVERIFY(!v.chkTrans()->isChecked());
        QVERIFY(v.w.isVisible());
        QCOMPARE(v.Node("Tiles")->childCount(), 8);
        QVERIFY(v.cmdOpen()->isEnabled() && v.cmdExport()->isEnabled() && v.pix()->isEnabled() &&
                v.txtPal()->isEnabled() && v.chkTrans()->isEnabled());
    }

    void AGameSizedFileIsListedWhole()
    {
        Viewer v;
        v.Open(v.Write("big.sty", RealisticStyle().Build()));
        QCOMPARE(v.Node("Tiles")->childCount(), 1000);
        QCOMPARE(v.Node("Sprites")->childCount(), 3000);
        QCOMPARE(v.Node("Palettes")->childCount(), 128);
        v.Click(v.Node("Sprites", 2999));
        QCOMPARE(v.lblInfo()->text(),
                 QStringLiteral("Size: %1x%2").arg(1 + (2999 * 5) % 32).arg(1 + (2999 * 3) % 32));
        QCOMPARE(v.txtPal()->text(), QString::number((1000 + 2999) % 128));
        v.Click(v.Node("Tiles", 999));
        QCOMPARE(v.txtPal()->text(), QString::number(999 % 128));
    }

    void RowsAreCutToThePictureArea()
    {
        StyPicture pic;
        pic.resize(10, 6);
        pic.show();  // a hidden widget is cleared again by its first resize event
        pic.Clear();
        uint32_t colours[20];
        for (uint32_t i = 0; i < 20; ++i)
            colours[i] = 0x010203 * (i + 1);
        pic.SetRow(-2, 3, colours, 20);  // starts left of the area and runs past its right edge
        pic.SetRow(0, 6, colours, 20);   // below the area
        pic.SetRow(0, -1, colours, 20);  // above it
        pic.SetRow(8, 0, colours, 1);
        const QImage shown = pic.grab().toImage();
        for (int x = 0; x < 10; ++x)
            QCOMPARE(shown.pixel(x, 3) & 0xFFFFFFu, colours[x + 2]);
        QCOMPARE(shown.pixel(8, 0) & 0xFFFFFFu, colours[0]);
        QCOMPARE(shown.pixel(9, 0), StyPicture::kBackground);
        QCOMPARE(shown.pixel(0, 5), StyPicture::kBackground);
    }

    void Screenshots()
    {
        Viewer v;
        v.Open(v.Write("small.sty", SmallStyle().Build()));
        v.Click(v.Node("Tiles", 1));
        SaveScreenshot(v.w, "frmSTY-tile");
        v.Click(v.Node("Sprites", 3));
        QTest::mouseClick(v.chkTrans(), Qt::LeftButton);
        SaveScreenshot(v.w, "frmSTY-sprite-transparent");
        v.Click(v.Node("Palettes", 40));
        SaveScreenshot(v.w, "frmSTY-palette");
    }
};

QTEST_MAIN(TestFrmSTY)
#include "test_frmSTY.moc"
