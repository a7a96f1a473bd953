#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>

#include "core/common/BitmapHeader.h"
#include "core/sty/StyExport.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/UiTestSupport.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

using namespace sty_test;

namespace {

// Colour c of palette p in SmallStyle: red 255 - c, green p * 4, blue c.
QRgb Ramp(int p, int c)
{
    return qRgb(255 - c, p * 4, c);
}

struct Viewer : UiFixture<frmSTY> {
    QTreeWidget* pix = Get<QTreeWidget>("pix");
    QLineEdit* txtPal = Get<QLineEdit>("txtPal");

    // Opens the file and gives the window back the focus the progress window took.
    void OpenSmall(const StyleFile& file = SmallStyle())
    {
        Open(Write("small.sty", file.Build()));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }
    // A category by its text, or one of its items by number.
    QTreeWidgetItem* Node(const QString& category, int item = -1)
    {
        QTreeWidgetItem* node = pix->findItems(category, Qt::MatchExactly | Qt::MatchRecursive).value(0);
        return node && item >= 0 ? node->child(item) : node;
    }
    // Replaces the palette box's text key by key, as a user would.
    void Type(const QString& keys)
    {
        QTest::keyClick(txtPal, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(txtPal, keys);
    }
    QString Texts() { return Get<QLabel>("lblInfo")->text() + " " + txtPal->text(); }
    QRgb Pixel(int x, int y) { return Get("pic")->grab().toImage().pixel(x, y) | 0xFF000000u; }
};

}  // namespace

class TestFrmSTY : public QObject {
    Q_OBJECT
private slots:

    void opensIntoTheTreeAndDrawsWhatIsClicked()
    {
        Viewer v;
        QVERIFY(!v.Get("cmdExport")->isEnabled());
        v.OpenSmall();
        QCOMPARE(v.Node("Tiles")->childCount() + v.Node("Sprites")->childCount() + v.Node("Palettes")->childCount(),
                 72);
        ClickItem(v.Node("Tiles", 2));  // virtual palette 2 names physical palette 3
        QVERIFY(v.Texts() == "Size: 64x64 3" && v.Pixel(30, 40) == Ramp(3, SmallTilePixel(2, 30, 40)));
        ClickItem(v.Node("Sprites", 0));   // 5 x 3 with palette 10
        ClickItem(v.Node("Palettes", 7));  // the strip leaves the size and palette box alone
        QVERIFY(v.Texts() == "Size: 5x3 10" && v.Pixel(100, 25) == Ramp(7, 100));
        v.txtPal->setText(QStringLiteral("x"));
        ClickItem(v.pix->topLevelItem(0));  // the root changes nothing
        QCOMPARE(v.txtPal->text(), QStringLiteral("x"));
        ClickItem(v.Node("Sprites"));  // a category draws nothing but shows the last drawing's texts
        QVERIFY(v.txtPal->text() == "10" && v.Pixel(100, 25) == Ramp(7, 100));
        ClickItem(v.Node("Tiles", 0));
        QTest::keyClick(v.pix, Qt::Key_Down);  // arrow keys walk the items too
        QCOMPARE(v.Texts(), QStringLiteral("Size: 64x64 2"));
        StyleFile noTiles = SmallStyle();  // without tiles their category goes
        noTiles.tiles.clear();
        v.OpenSmall(noTiles);
        QVERIFY(!v.Node("Tiles") && v.Node("Sprites")->childCount() == 4);
        const QString small = FromUtf8(v.dir.File("small.sty"));
        QCOMPARE(v.platform.settings.value("Kestrova/Recent/STY"), small);  // the same file twice: one entry
        std::filesystem::remove(ToUtf8(small));
        DropFile(&v.w, small);  // a dropped file is opened here like a chosen one
        QVERIFY(v.Said().startsWith("The style file could not be opened.") && v.Node("Sprites")->childCount() == 4);
    }

    void aTypedPaletteRedrawsTheSelectedSprite_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("drawn");  // the palette the sprite is drawn with afterwards; its own is 13
        for (auto [keys, drawn] : {std::pair{"12", 12},
                                   {"65", 6},
                                   {"0", 13},
                                   {" 9 ", 9},
                                   {"+5", 13},
                                   {"-1", 13},
                                   {"1.0", 1},
                                   {"99999999999", 9},
                                   {"5x", 5}})
            QTest::newRow(keys) << QString::fromLatin1(keys) << drawn;
    }
    void aTypedPaletteRedrawsTheSelectedSprite()
    {
        QFETCH(QString, keys);
        QFETCH(int, drawn);
        Viewer v;
        v.OpenSmall();
        ClickItem(v.Node("Sprites", 3));  // a disc whose centre has index 40
        v.Type(keys);
        QVERIFY(v.Pixel(20, 20) == Ramp(drawn, 40) && v.Texts().startsWith("Size: 40x40 "));
    }

    void theBoxDrawsNoOtherItemAndDrawTransparentRedraws()
    {
        Viewer v;
        v.OpenSmall();
        ClickItem(v.Node("Sprites", 3));
        v.Type(QStringLiteral("7"));
        v.Click("chkTrans");  // redraws with the sprite's own palette
        QVERIFY(v.txtPal->text() == "13" && v.Pixel(0, 0) == qRgb(255, 0, 255) && v.Pixel(20, 20) == Ramp(13, 40));
        ClickItem(v.Node("Tiles", 0));  // with a tile or a palette selected typing draws nothing
        v.Type(QStringLiteral("5"));
        QVERIFY(v.Pixel(0, 0) == qRgb(255, 0, 255) && v.Pixel(30, 30) == Ramp(1, SmallTilePixel(0, 30, 30)));
        ClickItem(v.Node("Palettes", 2));
        v.Type(QStringLiteral("6"));
        QCOMPARE(v.Pixel(30, 30), Ramp(2, 30));
    }

    void exportWritesTheSelectedItemWithItsOwnPalette_data()
    {
        QTest::addColumn<QString>("category");
        QTest::addColumn<QString>("name");  // offered in the dialog
        QTest::newRow("tile") << "Tiles"
                              << "Tile2.bmp";
        QTest::newRow("sprite") << "Sprites"
                                << "Sprite2.bmp";
        QTest::newRow("palette") << "Palettes"
                                 << "Pal2.pal";
    }
    void exportWritesTheSelectedItemWithItsOwnPalette()
    {
        QFETCH(QString, category);
        QFETCH(QString, name);
        Viewer v;
        v.OpenSmall();
        clsSTY reference;
        reference.LoadSTY(v.dir.File("small.sty"));
        const std::string expected = v.dir.File("expected"), file = v.dir.File(name.toStdString());
        category == "Tiles"     ? reference.SaveTile(expected, 2)
        : category == "Sprites" ? reference.SaveSprite(expected, 2)
                                : TempDir::Write(expected, JascPalText(reference, 2));
        ClickItem(v.Node(category, 2));
        v.Type(QStringLiteral("5"));  // viewed with palette 5, exported with its own
        v.Save("cmdExport", file);
        QVERIFY(v.platform.saveRequests[0].fileName == name &&
                v.platform.saveRequests[0].filter.endsWith(name.right(4)));
        QVERIFY(TempDir::Read(file) == TempDir::Read(expected) && v.Told() == 0);
    }

    void failuresAreToldAndTheViewerGoesOn()
    {
        Viewer v;
        StyleFile file = SmallStyle();
        file.sprites.push_back({64 * 256 - 100, 200, 1});  // sprite 4 runs past the sprite graphics
        file.palx.push_back(14);
        file.sprites.push_back({0, 1, 1});  // sprite 5 has no virtual palette
        v.OpenSmall(file);
        for (QTreeWidgetItem* node : {v.Node("Tiles"), v.pix->topLevelItem(0)}) {  // names nothing: no dialog
            ClickItem(node);
            v.Click("cmdExport");
        }
        ClickItem(v.Node("Tiles", 1));
        const QRgb shown = v.Pixel(30, 30);
        v.Save("cmdExport", "");  // cancelled
        v.Save("cmdExport", v.dir.File("gone/Tile1.bmp"));
        QVERIFY(v.platform.saveRequests.size() == 2 && v.Told() == 1 && v.platform.messages[0].parent == &v.w);
        QVERIFY(v.Said().startsWith(FromUtf8(v.dir.File("gone/Tile1.bmp")) + " could not be written.\n\n"));
        ClickItem(v.Node("Sprites", 4));
        QVERIFY(v.Said().startsWith("Sprite 4 cannot be shown.\n\nsprite 4 lies outside the sprite graphics"));
        QVERIFY(v.Pixel(30, 30) == shown && v.Texts() == "Size: 64x64 2");
        ClickItem(v.Node("Sprites", 5));
        v.Save("cmdExport", v.dir.File("Sprite5.bmp"));
        QVERIFY(v.Said().contains("virtual palette entry 9") && !std::filesystem::exists(v.dir.File("Sprite5.bmp")));
        const std::string damaged = v.Write("damaged.sty", Header() + ChunkHeader("TILE", -4));
        v.Open(damaged);  // refused: the previous file stays
        QVERIFY(v.Said().startsWith("The style file could not be opened.\n\n" + FromUtf8(damaged)));
        QVERIFY(v.Node("Sprites")->childCount() == 6 && v.Get("cmdExport")->isEnabled());
    }

    void commandsAndClosingAreRefusedWhileBusy()
    {
        Viewer v;
        v.OpenSmall();
        ClickItem(v.Node("Tiles", 3));
        StyleFile second = SmallStyle();
        second.tiles.resize(8, FilledTile(1));
        v.commands = {v.Get("cmdOpen"), v.Get("cmdExport"), v.pix, v.txtPal, v.Get("chkTrans")};
        v.meddle = [&] {  // the user tries everything
            v.w.pix_NodeClick(v.Node("Tiles", 0));
            v.txtPal->setText(QStringLiteral("5"));
            v.w.txtPal_Change();
            v.w.cmdOpen_Click();
            v.w.chkTrans_Click();
            v.w.cmdExport_Click();
            v.w.close();
        };
        v.Open(v.Write("second.sty", second.Build()));
        QVERIFY(v.updates >= 5 && v.enabled == 0 && v.platform.openRequests.size() == 2);
        QVERIFY(v.platform.saveRequests.empty() && v.Pixel(30, 30) == Ramp(4, SmallTilePixel(3, 30, 30)));
        QVERIFY(v.w.isVisible() && v.Node("Tiles")->childCount() == 8 && v.Get("cmdExport")->isEnabled());
    }

    void rowsAreCutToThePictureArea()
    {
        StyPicture pic;
        pic.resize(10, 6);
        pic.show();  // a hidden widget is cleared again by its first resize event
        const uint32_t colours[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        pic.SetRow(-2, 3, colours, 12);  // starts left of the area and runs past its right edge
        pic.SetRow(0, 6, colours, 12);   // below the area
        pic.SetRow(0, -1, colours, 12);  // above it
        const QImage shown = pic.grab().toImage();
        QVERIFY(shown.pixel(0, 3) == qRgb(0, 0, 3) && shown.pixel(9, 3) == qRgb(0, 0, 12));
        QVERIFY(shown.pixel(0, 0) == StyPicture::kBackground && shown.pixel(0, 5) == StyPicture::kBackground);
    }
};

QTEST_MAIN(TestFrmSTY)
#include "test_frmSTY.moc"
