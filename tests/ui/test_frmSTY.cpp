#include <QLabel>
#include <QLineEdit>
#include <QtTest>
#include <filesystem>

#include "core/sty/StyExport.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/UiTestSupport.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

using namespace sty_test;

namespace {

// Colour c of palette p in SmallStyle.
QRgb Ramp(int p, int c)
{
    return qRgb(255 - c, p * 4, c);
}

struct Viewer : UiFixture<frmSTY> {
    QTreeWidget* pix = Get<QTreeWidget>("pix");
    QLineEdit* txtPal = Get<QLineEdit>("txtPal");

    // Opens the file and gives the window back the focus the progress window took.
    Viewer(const StyleFile& file = SmallStyle())
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

    void opensIntoTheTreeAndDrawsWhatIsClickedOrTransparent()
    {
        Viewer v;
        QCOMPARE(v.Node("Tiles")->childCount() + v.Node("Sprites")->childCount() + v.Node("Palettes")->childCount(),
                 72);
        ClickItem(v.Node("Tiles", 2));  // virtual palette 2 names physical palette 3
        QVERIFY(v.Texts() == "Size: 64x64 3" && v.Pixel(30, 40) == Ramp(3, SmallTilePixel(2, 30, 40)));
        ClickItem(v.Node("Sprites", 0));   // 5 x 3 with palette 10
        ClickItem(v.Node("Palettes", 7));  // the strip leaves the size and palette box alone
        QVERIFY(v.Texts() == "Size: 5x3 10" && v.Pixel(100, 25) == Ramp(7, 100));
        ClickItem(v.Node("Tiles", 0));
        QTest::keyClick(v.pix, Qt::Key_Down);  // arrow keys walk the items too
        QCOMPARE(v.Texts(), QStringLiteral("Size: 64x64 2"));
        ClickItem(v.Node("Sprites", 3));
        v.Type(QStringLiteral("7"));
        v.Click("chkTrans");  // redraws with the sprite's own palette
        QVERIFY(v.txtPal->text() == "13" && v.Pixel(0, 0) == qRgb(255, 0, 255) && v.Pixel(20, 20) == Ramp(13, 40));

        const QString small = FromUtf8(v.dir.File("small.sty"));
        v.Open(ToUtf8(small));
        QCOMPARE(v.platform.settings.value("Kestrova/Recent/STY"), small);  // the same file twice: one entry
        std::filesystem::remove(v.dir.At("small.sty"));
        DropFile(&v.w, small);  // a dropped file is opened here like a chosen one
        QVERIFY(v.Said().startsWith("The style file could not be opened.") && v.Node("Sprites")->childCount() == 4);
    }

    void aTypedPaletteRedrawsTheSelectedSpriteOnly_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QRgb>("centre");                     // the pixel at (20, 20) afterwards
        const auto disc = [](int p) { return Ramp(p, 40); };  // sprite 3's centre; its own palette is 13
        for (auto [keys, drawn] : {std::pair{"12", 12}, {"65", 6}, {"0", 13}, {" 9 ", 9}, {"-1", 13}, {"5x", 5}})
            QTest::newRow(keys) << "Sprites" << QString::fromLatin1(keys) << disc(drawn);
        QTest::newRow("tile") << "Tiles"
                              << "5" << Ramp(1, SmallTilePixel(0, 20, 20));
        QTest::newRow("palette") << "Palettes"
                                 << "6" << Ramp(0, 20);
    }
    void aTypedPaletteRedrawsTheSelectedSpriteOnly()
    {
        QFETCH(QString, item);
        QFETCH(QString, keys);
        QFETCH(QRgb, centre);
        Viewer v;
        ClickItem(v.Node(item, item == "Sprites" ? 3 : 0));
        v.Type(keys);
        QCOMPARE(v.Pixel(20, 20), centre);
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
        clsSTY reference;
        reference.LoadSTY(v.dir.File("small.sty"));
        const std::string expected = v.dir.File("expected"), file = v.dir.File(name.toStdString());
        category == "Tiles"     ? reference.SaveTile(expected, 2)
        : category == "Sprites" ? reference.SaveSprite(expected, 2)
                                : SavePal(expected, reference, 2);
        ClickItem(v.Node(category, 2));
        v.Type(QStringLiteral("5"));  // viewed with palette 5, exported with its own
        v.Save("cmdExport", file);
        QVERIFY(v.platform.saveRequests[0].fileName == name &&
                v.platform.saveRequests[0].filter.endsWith(name.right(4)));
        QVERIFY(TempDir::Read(file) == TempDir::Read(expected) && v.Told() == 0);
    }

    void failuresAreToldAndCommandsAndClosingAreRefusedWhileBusy()
    {
        StyleFile file = SmallStyle();
        file.sprites.push_back({64 * 256 - 100, 200, 1});  // sprite 4 runs past the sprite graphics
        file.palx.push_back(14);
        Viewer v(file);
        ClickItem(v.Node("Tiles"));  // names nothing: no dialog
        v.Click("cmdExport");
        ClickItem(v.Node("Tiles", 1));
        const QRgb shown = v.Pixel(30, 30);
        v.Save("cmdExport", v.dir.File("gone/Tile1.bmp"));
        QVERIFY(v.platform.saveRequests.size() == 1 && v.Told() == 1 && v.platform.messages[0].parent == &v.w);
        QVERIFY(v.Said().startsWith(FromUtf8(v.dir.File("gone/Tile1.bmp")) + " could not be written.\n\n"));
        ClickItem(v.Node("Sprites", 4));
        QVERIFY(v.Said().startsWith("Sprite 4 cannot be shown.\n\nsprite 4 lies outside the sprite graphics"));
        QVERIFY(v.Pixel(30, 30) == shown && v.Texts() == "Size: 64x64 2");
        const std::string damaged = v.Write("damaged.sty", Header() + "TILE" + I32(-4));
        v.Open(damaged);  // refused: the previous file stays
        QVERIFY(v.Said().startsWith("The style file could not be opened.\n\n" + FromUtf8(damaged)));
        QVERIFY(v.Node("Sprites")->childCount() == 5 && v.Get("cmdExport")->isEnabled());
        ClickItem(v.Node("Tiles", 3));
        StyleFile second = SmallStyle();
        second.tiles.resize(8, Tile(4096, '\1'));
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
        QVERIFY(v.updates >= 5 && v.enabled == 0 && v.platform.openRequests.size() == 3);
        QVERIFY(v.platform.saveRequests.size() == 1 && v.Pixel(30, 30) == Ramp(4, SmallTilePixel(3, 30, 30)));
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
