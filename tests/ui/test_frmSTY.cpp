#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "core/common/BitmapHeader.h"
#include "core/common/PathRules.h"
#include "core/sty/StyExport.h"
#include "core/sty/clsSTY.h"
#include "tests/support/ScriptedPlatform.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiTestSupport.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

using namespace sty_test;

namespace {

// Colour c of palette p in SmallStyle: red 255 - c, green p * 4, blue c.
QRgb Ramp(int p, int c)
{
    return qRgb(255 - c, p * 4, c);
}

// The viewer with its controls at hand, shown, over a scripted desktop and a folder of its own.
struct Viewer {
    ScriptedPlatform platform;
    TempDir dir;
    frmSTY w;
    Viewer()
    {
        w.show();
        w.activateWindow();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("frmSTY did not become active");
    }
    QTreeWidget* pix = w.findChild<QTreeWidget*>("pix");
    QWidget* pic = w.findChild<QWidget*>("pic");
    QLineEdit* txtPal = w.findChild<QLineEdit*>("txtPal");
    QLabel* lblInfo = w.findChild<QLabel*>("lblInfo");
    QCheckBox* chkTrans = w.findChild<QCheckBox*>("chkTrans");
    QPushButton* cmdOpen = w.findChild<QPushButton*>("cmdOpen");
    QPushButton* cmdExport = w.findChild<QPushButton*>("cmdExport");

    std::string Write(const std::string& name, const std::string& bytes = SmallStyle().Build())
    {
        TempDir::Write(dir.File(name), bytes);
        return dir.File(name);
    }
    void Open(const std::string& file)
    {
        platform.openAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(cmdOpen, Qt::LeftButton);
    }
    void Export(const std::string& file)
    {
        platform.saveAnswers.push_back(FromUtf8(file));
        QTest::mouseClick(cmdExport, Qt::LeftButton);
    }
    // A category under "Graphics" by its text, or one of its items by number.
    QTreeWidgetItem* Node(const QString& category, int item = -1)
    {
        QTreeWidgetItem* root = pix->topLevelItem(0);
        for (int i = 0; root && i < root->childCount(); ++i)
            if (root->child(i)->text(0) == category)
                return item < 0 ? root->child(i) : root->child(i)->child(item);
        return nullptr;
    }
    void Click(QTreeWidgetItem* node)
    {
        pix->scrollToItem(node);
        QTest::mouseClick(pix->viewport(), Qt::LeftButton, {}, pix->visualItemRect(node).center());
    }
    // Replaces the palette box's text key by key, as a user would.
    void Type(const QString& keys, bool replace = true)
    {
        if (replace)
            QTest::keyClick(txtPal, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(txtPal, keys);
    }
    QRgb Pixel(int x, int y) { return pic->grab().toImage().pixel(x, y) | 0xFF000000u; }
    QString LastMessage() { return platform.messages.empty() ? QString() : platform.messages.back().text; }
};

}  // namespace

class TestFrmSTY : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitBitmapHeader(); }

    void opensIntoTheTreeAndDrawsWhatIsClicked()
    {
        Viewer v;
        QCOMPARE(v.w.windowTitle(), QStringLiteral("STY Editor"));
        QVERIFY(!v.cmdExport->isEnabled() && !v.chkTrans->isChecked() && v.txtPal->text() == "0");
        QCOMPARE(v.Pixel(10, 10), StyPicture::kBackground);
        QVERIFY(v.pic->width() >= 256 && v.pic->height() >= 256);
        v.Open("");  // cancelled
        QCOMPARE(v.pix->topLevelItemCount(), 0);
        QCOMPARE(v.platform.openRequests.back().filter, QStringLiteral("STY Files (*.sty)|*.sty"));
        QCOMPARE(v.platform.openRequests.back().directory, FromUtf8(sDataPath()));

        v.Open(v.Write("small.sty"));
        QVERIFY(v.cmdExport->isEnabled());
        QTreeWidgetItem* root = v.pix->topLevelItem(0);
        QCOMPARE(root->text(0) + root->child(0)->text(0) + root->child(1)->text(0) + root->child(2)->text(0),
                 QStringLiteral("GraphicsTilesSpritesPalettes"));
        QVERIFY(root->isExpanded());
        QCOMPARE(v.Node("Tiles")->childCount(), 4);
        QCOMPARE(v.Node("Sprites")->childCount(), 4);
        QCOMPARE(v.Node("Palettes", 63)->text(0), QStringLiteral("63"));

        v.Click(v.Node("Tiles", 2));  // virtual palette 2 names physical palette 3
        QCOMPARE(v.lblInfo->text(), QStringLiteral("Size: 64x64"));
        QCOMPARE(v.txtPal->text(), QStringLiteral("3"));
        QCOMPARE(v.Pixel(30, 40), Ramp(3, SmallTilePixel(2, 30, 40)));
        QCOMPARE(v.Pixel(64, 10), StyPicture::kBackground);
        SaveScreenshot(v.w, "frmSTY-tile");
        v.Click(v.Node("Sprites", 0));  // 5 x 3 with palette 10
        QCOMPARE(v.lblInfo->text(), QStringLiteral("Size: 5x3"));
        QCOMPARE(v.txtPal->text(), QStringLiteral("10"));
        QCOMPARE(v.Pixel(0, 0), Ramp(10, 0));
        QCOMPARE(v.Pixel(5, 0), StyPicture::kBackground);  // the tile drawn before is gone
        v.Click(v.Node("Palettes", 7));                    // the strip leaves the size and palette box alone
        for (int i : {0, 100, 255})
            QCOMPARE(v.Pixel(i, 25), Ramp(7, i));
        QCOMPARE(v.Pixel(100, 60), StyPicture::kBackground);
        QCOMPARE(v.lblInfo->text() + v.txtPal->text(), QStringLiteral("Size: 5x310"));
        SaveScreenshot(v.w, "frmSTY-palette");
        v.txtPal->setText(QStringLiteral("x"));
        v.Click(v.pix->topLevelItem(0));  // the root changes nothing
        QCOMPARE(v.txtPal->text(), QStringLiteral("x"));
        v.Click(v.Node("Sprites"));  // a category redraws nothing but rewrites the texts
        QCOMPARE(v.txtPal->text(), QStringLiteral("10"));
        QCOMPARE(v.Pixel(100, 25), Ramp(7, 100));
        v.Click(v.Node("Tiles", 0));
        v.pix->setFocus();
        QTest::keyClick(v.pix, Qt::Key_Down);  // arrow keys walk the items too
        QCOMPARE(v.txtPal->text(), QStringLiteral("2"));

        StyleFile noTiles = SmallStyle();  // without tiles the category goes; empty ones of the other kinds stay
        noTiles.tiles.clear();
        noTiles.sprites.clear();
        v.Open(v.Write("notiles.sty", noTiles.Build()));
        QCOMPARE(v.pix->topLevelItem(0)->childCount(), 2);
        QCOMPARE(v.Node("Sprites")->childCount(), 0);
    }

    void typedPaletteNumbersAndDrawTransparentRedrawTheSelectedSprite()
    {
        Viewer v;
        v.Open(v.Write("small.sty"));
        v.Click(v.Node("Sprites", 3));  // the disc, own palette 13; its centre has index 40
        auto centre = [&] { return v.Pixel(20, 20); };
        QCOMPARE(centre(), Ramp(13, 40));
        // What is in the box after each typing, and the palette the centre is drawn with.
        const struct {
            const char* keys;
            bool replace;
            int drawn;
        } steps[] = {{"1", true, 1},   {"2", false, 12},  // typed on: 12
                     {"65", true, 6},  {"0", true, 13},   // 6 drew, 65 is beyond the 64 palettes; 0: its own
                     {" 9 ", true, 9}, {"+5", true, 9},   // blanks are ignored; signs are not numbers
                     {"-1", true, 9},  {"1.0", true, 1},  // nor are fractions: "1" drew, "1." did not
                     {"9", true, 9},   {"99999999999", true, 9}, {"5x", true, 5}};
        for (const auto& s : steps) {
            v.Type(QString::fromLatin1(s.keys), s.replace);
            QVERIFY2(centre() == Ramp(s.drawn, 40), s.keys);
        }
        QCOMPARE(v.lblInfo->text(), QStringLiteral("Size: 40x40"));
        v.Type(QStringLiteral("7"));
        QTest::keyClick(v.txtPal, Qt::Key_Backspace);  // emptying the box draws nothing, the flag stays
        QVERIFY(v.txtPal->text().isEmpty());
        QCOMPARE(centre(), Ramp(7, 40));

        QTest::mouseClick(v.chkTrans, Qt::LeftButton);  // redraws with the sprite's own palette
        QCOMPARE(v.txtPal->text(), QStringLiteral("13"));
        QCOMPARE(v.Pixel(0, 0), qRgb(255, 0, 255));
        QCOMPARE(centre(), Ramp(13, 40));
        SaveScreenshot(v.w, "frmSTY-sprite-transparent");
        QTest::mouseClick(v.chkTrans, Qt::LeftButton);
        QCOMPARE(v.Pixel(0, 0), Ramp(13, 0));

        v.Click(v.Node("Tiles", 0));  // with a tile selected typing changes nothing and clears the flag
        const QRgb tilePixel = v.Pixel(30, 30);
        v.Type(QStringLiteral("5"));

        QCOMPARE(v.Pixel(30, 30), tilePixel);
        v.Click(v.Node("Palettes", 2));  // and so it does with a palette selected
        v.Type(QStringLiteral("6"));
        QCOMPARE(v.Pixel(30, 30), Ramp(2, 30));
        QTest::mouseClick(v.chkTrans, Qt::LeftButton);  // the setting holds for files opened later
        v.Open(v.Write("again.sty"));
        v.Click(v.Node("Tiles", 0));
        QCOMPARE(v.Pixel(0, 0), qRgb(255, 0, 255));
    }

    void exportWritesTheSelectedItemAndTellsWhatFailed()
    {
        Viewer v;
        StyleFile file = SmallStyle();
        file.sprites.push_back({64 * 256 - 100, 200, 1});  // sprite 4 runs past the sprite graphics
        file.palx.push_back(14);
        file.sprites.push_back({0, 1, 1});  // sprite 5 has no virtual palette
        v.Open(v.Write("small.sty", file.Build()));
        clsSTY reference;
        reference.LoadSTY(v.dir.File("small.sty"));
        reference.SaveTile(v.dir.File("tile.ref"), 2);
        reference.SaveSprite(v.dir.File("sprite.ref"), 0);

        const struct {
            QTreeWidgetItem* node;
            const char* name;  // offered in the dialog
            std::string expected;
        } exports[] = {{v.Node("Tiles", 2), "Tile2.bmp", TempDir::Read(v.dir.File("tile.ref"))},
                       {v.Node("Sprites", 0), "Sprite0.bmp", TempDir::Read(v.dir.File("sprite.ref"))},
                       {v.Node("Palettes", 3), "Pal3.pal", JascPalText(reference, 3)}};
        for (const auto& e : exports) {
            v.Click(e.node);
            v.Type(QStringLiteral("5"));  // viewed with palette 5, exported with its own
            v.Export(v.dir.File(e.name));
            QCOMPARE(v.platform.saveRequests.back().fileName, QString::fromLatin1(e.name));
            QVERIFY(TempDir::Read(v.dir.File(e.name)) == e.expected);
        }
        QCOMPARE(v.platform.saveRequests[0].filter, QStringLiteral("BMP Files (*.bmp)|*.bmp"));
        QCOMPARE(v.platform.saveRequests[2].filter, QStringLiteral("PAL Files (*.pal)|*.pal"));
        for (QTreeWidgetItem* node : {v.Node("Tiles"), v.pix->topLevelItem(0)}) {  // names nothing: no dialog
            v.Click(node);
            QTest::mouseClick(v.cmdExport, Qt::LeftButton);
        }
        QCOMPARE(v.platform.saveRequests.size(), 3u);
        v.Click(v.Node("Tiles", 1));
        v.Export("");  // cancelled: nothing written
        QCOMPARE(std::distance(std::filesystem::directory_iterator(v.dir.Path()), {}), 6);
        const std::string nowhere = v.dir.File("gone/Tile1.bmp");
        v.Export(nowhere);
        QVERIFY(v.LastMessage().contains(FromUtf8(nowhere)) && v.LastMessage().contains("cannot be written"));

        const QRgb shown = v.Pixel(30, 30);  // missing parts are told and the window goes on
        v.Click(v.Node("Sprites", 4));
        QVERIFY(v.LastMessage().contains("Sprite 4 cannot be shown") &&
                v.LastMessage().contains("outside the sprite graphics"));
        QCOMPARE(v.Pixel(30, 30), shown);
        QCOMPARE(v.lblInfo->text(), QStringLiteral("Size: 64x64"));
        v.Click(v.Node("Sprites", 5));
        QVERIFY(v.LastMessage().contains("virtual palette entry 9"));
        v.Export(v.dir.File("Sprite5.bmp"));
        QCOMPARE(v.platform.messages.size(), 4u);
        QVERIFY(!std::filesystem::exists(v.dir.File("Sprite5.bmp")));

        const std::string damaged = v.Write("damaged.sty", Header() + ChunkHeader("TILE", -4));
        v.Open(damaged);  // refused: the previous file stays
        QVERIFY(v.LastMessage().contains(FromUtf8(damaged)) && v.LastMessage().contains("negative size"));
        QCOMPARE(v.Node("Sprites")->childCount(), 6);
        QVERIFY(v.cmdOpen->isEnabled() && v.cmdExport->isEnabled() && v.pix->isEnabled());
        QCOMPARE(v.Pixel(30, 30), shown);
        v.Click(v.Node("Sprites", 0));
        QCOMPARE(v.lblInfo->text(), QStringLiteral("Size: 5x3"));
    }

    void nothingStartsWhileALoadRuns()
    {
        Viewer v;
        v.Open(v.Write("first.sty"));
        v.Click(v.Node("Tiles", 3));
        const QRgb shown = v.Pixel(30, 30);
        StyleFile second = SmallStyle();
        second.tiles.resize(8, FilledTile(1));
        v.platform.openAnswers = {FromUtf8(v.Write("second.sty", second.Build())), FromUtf8(v.dir.File("first.sty"))};
        v.platform.saveAnswers = {FromUtf8(v.dir.File("never.bmp"))};
        {
            BusyWatch watch({v.cmdOpen, v.cmdExport, v.pix, v.txtPal, v.chkTrans}, [&] {  // the user tries everything
                QTest::mouseClick(v.cmdOpen, Qt::LeftButton);
                QTest::mouseClick(v.cmdExport, Qt::LeftButton);
                QTest::mouseClick(v.chkTrans, Qt::LeftButton);
                if (QTreeWidgetItem* node = v.Node("Tiles", 0)) {
                    v.Click(node);
                    v.w.pix_NodeClick(node);
                }
                QTest::keyClicks(v.txtPal, QStringLiteral("5"));
                v.w.txtPal_Change();
                v.w.cmdOpen_Click();
                v.w.chkTrans_Click();
                v.w.cmdExport_Click();
                v.w.close();
            });
            QTest::mouseClick(v.cmdOpen, Qt::LeftButton);
            QVERIFY(watch.updates >= 5);
            QCOMPARE(watch.enabled, 0);
        }
        QCOMPARE(v.platform.openRequests.size(), 2u);
        QCOMPARE(v.platform.saveRequests.size(), 0u);
        QCOMPARE(v.Pixel(30, 30), shown);
        QCOMPARE(v.txtPal->text(), QStringLiteral("4"));
        QVERIFY(!v.chkTrans->isChecked() && v.w.isVisible());
        QCOMPARE(v.Node("Tiles")->childCount(), 8);
        QVERIFY(v.cmdOpen->isEnabled() && v.cmdExport->isEnabled() && v.pix->isEnabled() && v.txtPal->isEnabled());
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
};

QTEST_MAIN(TestFrmSTY)
#include "test_frmSTY.moc"
