// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QtTest>
#include <filesystem>
#include <functional>
#include <optional>
#include <tuple>

#include "core/io/FileIO.h"
#include "core/sty/StyExport.h"
#include "tests/support/StyBuilder.h"
#include "tests/support/UiTestSupport.h"
#include "ui/windows/FontTable.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

using namespace sty_test;

namespace {

// Colour c of palette p in SmallStyle.
constexpr auto Ramp = [](int p, int c) { return qRgb(255 - c, p * 4, c); };

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
    QString Status() { return Get<QLabel>("lblStatus")->text(); }
    QRgb Pixel(int x, int y) { return Get("pic")->grab().toImage().pixel(x, y) | 0xFF000000u; }
    // The replaced item's image comes from `path`.
    void Replace(const QString& path) { Open(ToUtf8(path), "cmdReplace"); }
    // Everything into `folder` as PNG (0) or BMP (1); `replace` answers the question about
    // files already there.
    QStringList ExportAll(const QString& folder, int format, std::optional<bool> replace = {})
    {
        QDir().mkpath(folder);
        platform.folderAnswers.push_back(folder);
        platform.chooseAnswers.push_back(format);
        if (replace)
            platform.confirmAnswers.push_back(*replace);
        Click("cmdExportAll");
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }
    void Zoom(const QString& text)
    {
        auto* zoom = Get<QComboBox>("cmbZoom");
        zoom->setCurrentIndex(zoom->findText(text));
        emit zoom->activated(zoom->currentIndex());
    }
    QImage Canvas() { return Get("canvas")->grab().toImage(); }
    // A file `name` in the folder of `indices` row by row through `colours` as an 8-bit indexed
    // image, or as `format` when that is another, with one pixel set to `odd` when it is given.
    QString Image(const std::string& name, int width, const std::vector<uint8_t>& indices, const QList<QRgb>& colours,
                  QImage::Format format = QImage::Format_Indexed8, std::optional<std::pair<QPoint, QRgb>> odd = {})
    {
        const int height = static_cast<int>(indices.size()) / width;
        QImage image(width, height, QImage::Format_Indexed8);
        image.setColorTable(colours);
        for (int i = 0; i < width * height; ++i)
            image.setPixel(i % width, i / width, indices[std::size_t(i)]);
        image.convertTo(format);
        if (odd)
            image.setPixel(odd->first, odd->second);
        image.save(FromUtf8(dir.File(name)));
        return FromUtf8(dir.File(name));
    }
};

// Palette p of SmallStyle as Qt colours.
QList<QRgb> Colours(int p)
{
    QList<QRgb> colours;
    for (int c = 0; c < 256; ++c)
        colours << (0xFF000000u | Ramp(p, c));
    return colours;
}

}  // namespace

class TestFrmSTY : public QObject {
    Q_OBJECT
private slots:

    void opensIntoTheTreeDrawsWhatIsClickedOrTransparentAndZooms()
    {
        Viewer v;
        QCOMPARE(v.Node("Tiles")->childCount() + v.Node("Sprites")->childCount() + v.Node("Palettes")->childCount(),
                 72);
        ClickItem(v.Node("Tiles", 2));  // virtual palette 2 names physical palette 3
        QVERIFY(v.Texts() == "Size: 64x64 3" && v.Pixel(30, 40) == Ramp(3, SmallTilePixel(2, 30, 40)));
        ClickItem(v.Node("Sprites", 0));   // 5 x 3 with palette 10
        ClickItem(v.Node("Palettes", 7));  // the fields say what is drawn, whatever was before
        QVERIFY(v.Texts() == "Palette 7: 256 colours 7" && v.Pixel(100, 25) == Ramp(7, 100));
        ClickItem(v.Node("Sprites"));  // a category draws nothing and changes nothing
        QVERIFY(v.Texts() == "Palette 7: 256 colours 7" &&
                v.Status() == "Opened small.sty: 4 tiles, 4 sprites, 64 palettes and 0 fonts.");
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
        v.Idle();
        QVERIFY(v.Said().startsWith("The style file could not be opened.") && v.Node("Sprites")->childCount() == 4);

        // Zoom shows sharp squares, fits the area, and is remembered.
        ClickItem(v.Node("Tiles", 2));
        const QImage one = v.Canvas();
        QCOMPARE(one.size(), QSize(64, 64));
        for (int scale : {2, 3, 4}) {
            v.Zoom(QStringLiteral("%1x").arg(scale));
            QVERIFY(v.Canvas() == one.scaled(64 * scale, 64 * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        }
        v.Zoom("Fit");  // the largest whole scale at which the item fits 303 x 257
        const std::pair<QTreeWidgetItem*, QSize> fits[] = {
            {v.Node("Tiles", 1), {256, 256}}, {v.Node("Sprites", 3), {240, 240}}, {v.Node("Palettes", 1), {256, 51}}};
        for (const auto& [node, size] : fits) {
            ClickItem(node);
            QCOMPARE(v.Canvas().size(), size);
        }
        QScrollBar* bar = v.Get<QScrollArea>("pic")->horizontalScrollBar();
        QVERIFY(!bar->isVisible());
        v.Zoom("2x");
        QVERIFY(bar->isVisible() && v.Canvas().size() == QSize(512, 102));
        frmSTY next;  // the choice is kept
        QCOMPARE(next.findChild<QComboBox*>("cmbZoom")->currentText(), QStringLiteral("2x"));
        // A larger window: the tree grows taller, the picture takes the rest, and Fit follows it.
        v.Zoom("Fit");
        ClickItem(v.Node("Tiles", 1));
        v.w.resize(1600, 1000);
        QTRY_COMPARE(v.Get("pic")->size(), QSize(303 + 1000, 257 + 640));
        QVERIFY(v.pix->size() == QSize(175, 257 + 640) && v.Canvas().size() == QSize(896, 896));

        StyPicture pic;  // rows are cut to the picture's 256 x 256
        const uint32_t colours[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
        for (auto [x, y] : {std::pair{-2, 3}, {250, 4}, {0, 256}, {0, -1}})
            pic.SetRow(x, y, colours, 12);
        pic.Show();
        const QImage shown = pic.findChild<QWidget*>("canvas")->grab().toImage();
        QVERIFY(pic.Drawn() == QSize(256, 5) && shown.pixel(0, 3) == qRgb(0, 0, 3) &&
                shown.pixel(255, 4) == qRgb(0, 0, 6) && shown.pixel(0, 0) == StyPicture::kBackground);
    }

    void fontsAreListedAndShownAsTablesOfGlyphsWithAbsentAndBlankCharactersMarked()
    {
        // Font 0 without lower case up to '~', font 1 with it up to 0xAC; sprite s has palette s % 64.
        const std::vector<FontSpec> fonts = {{94, 4, false}, {140, 7, true}};
        Viewer v(FontStyle(fonts, {1, 0, 2, 0, 1}));
        QCOMPARE(v.Node("Fonts")->child(1)->text(0), QStringLiteral("Font 1 (140 characters)"));
        clsSTY style;
        style.LoadSTY(v.dir.File("small.sty"));
        // How many pixels of the cell of `code` in the table of `font` at `scale` are none of `colours`.
        const auto others = [&](int font, uint8_t code, int scale, std::initializer_list<QRgb> colours) {
            const QImage cell = v.Canvas().copy(FontTable(style, font).GlyphArea(code, scale));
            int n = 0;
            for (int i = 0; i < cell.width() * cell.height(); ++i)
                n += !std::count(colours.begin(), colours.end(), cell.pixel(i % cell.width(), i / cell.width()));
            return n;
        };
        const auto hatched = [&](int font, uint8_t code, int scale) {
            return others(font, code, scale, {FontTable::kHatch, StyPicture::kBackground}) == 0 &&
                   others(font, code, scale, {StyPicture::kBackground}) > 0;
        };
        for (int scale : {1, 3}) {
            v.Zoom(QStringLiteral("%1x").arg(scale));
            ClickItem(v.Node("Fonts", 0));
            QCOMPARE(v.Texts(), QStringLiteral("Font 0: 0x21 to 0x7E, 4 pixels high "));
            QVERIFY(!v.Get("cmdExport")->isEnabled() && hatched(0, 0x7F, scale) && !hatched(0, 0x7E, scale));
            for (uint8_t blank : {'a', 'z', '#', '*'})  // markup, and lower case the font draws without a pixel
                QVERIFY(others(0, blank, scale, {FontTable::kBlank}) == 0);
            ClickItem(v.Node("Fonts", 1));
            QVERIFY(hatched(1, 0xAD, scale) && !hatched(1, 0xAC, scale));
            // Its 'a' (sprite 4 + 94 + 64) in its own palette, each pixel a square of the scale.
            const int width = GlyphWidth(7, 'a');
            const QImage glyph = v.Canvas().copy(FontTable(style, 1).GlyphArea('a', scale));
            const int left = (glyph.width() - width * scale) / 2;
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < width; ++x) {
                    const uint8_t index = GlyphPixel(fonts[1], 1, 'a', x, y);
                    const QRgb shown = glyph.pixel(left + x * scale + scale - 1, y * scale);
                    QVERIFY(shown == (index ? Ramp(162 % 64, index) : StyPicture::kBackground));
                }
        }
    }

    void aTypedPaletteRedrawsTheSelectedSpriteOnlyAndExportsUseTheItemsOwn()
    {
        Viewer v;
        // The item, what is typed, and the colour at (20, 20): sprite 3's own palette is 13, its centre index 40.
        using Typed = std::tuple<const char*, QString, QRgb>;
        const int tile = SmallTilePixel(0, 20, 20);  // palette 5 of the tiles is physical palette 1
        const Typed typed[] = {{"Sprites", "12", Ramp(12, 40)}, {"Sprites", "65", Ramp(6, 40)},
                               {"Sprites", "0", Ramp(13, 40)},  {"Sprites", " 9 ", Ramp(9, 40)},
                               {"Sprites", "-1", Ramp(13, 40)}, {"Sprites", "5x", Ramp(5, 40)},
                               {"Tiles", "5", Ramp(1, tile)},   {"Palettes", "6", Ramp(0, 20)}};
        for (const auto& [item, keys, centre] : typed) {
            ClickItem(v.Node(item, item == QStringLiteral("Sprites") ? 3 : 0));
            v.Type(keys);
            QVERIFY2(v.Pixel(20, 20) == centre, qPrintable(keys));
        }
        clsSTY reference;
        reference.LoadSTY(v.dir.File("small.sty"));
        const std::string expected = v.dir.File("expected");
        // Each offers the name Export All gives it as PNG; taken here as a bitmap.
        const std::vector<ExportEntry> all =
            ExportEntries(reference, true, {StyItem::Tile, StyItem::Sprite, StyItem::Palette});
        const std::tuple<const char*, StyItem, std::function<void()>> exports[] = {
            {"Tiles", StyItem::Tile, [&] { reference.SaveTile(expected, 2); }},
            {"Sprites", StyItem::Sprite, [&] { reference.SaveSprite(expected, 2); }},
            {"Palettes", StyItem::Palette, [&] { SavePal(expected, reference, 2); }}};
        const QString out = FromUtf8(v.dir.File("out"));
        QDir().mkpath(out);
        QString folder = FromUtf8(sDataPath());  // where the first export starts; then where the last went
        for (const auto& [category, item, save] : exports) {
            const QString offered = std::find_if(all.begin(), all.end(), [&](const ExportEntry& e) {
                                        return e.item == item && e.n == 2;
                                    })->name;
            const QString name = offered.endsWith(".png") ? offered.chopped(4) + ".bmp" : offered;
            save();
            ClickItem(v.Node(category, 2));
            v.Type(QStringLiteral("5"));  // viewed with palette 5, exported with its own
            v.Save("cmdExport", ToUtf8(out + "/" + name));
            const FileDialogRequest& asked = v.platform.saveRequests.back();
            QVERIFY(asked.fileName == offered && asked.directory == folder &&
                    asked.filter.contains("|*" + name.right(4)));
            QVERIFY(TempDir::Read(ToUtf8(out + "/" + name)) == TempDir::Read(expected) && v.Told() == 0);
            QCOMPARE(v.Status(), "Exported " + name + " to " + QDir::toNativeSeparators(out) + ".");
            folder = out;
        }
        ClickItem(v.Node("Sprites", 1));
        v.Replace(QString());  // Replace's dialog starts in the folder exported to
        QCOMPARE(v.platform.openRequests.back().directory, out);
    }

    void failuresAreToldARefusedFileKeepsTheOneShownAndExportAllSumsUp()
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
        v.Click("cmdReplace");  // nor replaced: no image is asked for
        QVERIFY(v.Said().startsWith("Sprite 4 cannot be replaced.\n\nsprite 4 lies outside") &&
                v.platform.openRequests.size() == 1);
        QVERIFY(v.Pixel(30, 30) == shown && v.Texts() == "Size: 64x64 2");
        for (const std::string& bytes : {Header() + "TILE" + I32(-4), "GBSX" + U16(700) + Chunk("TILE", "")}) {
            const std::string refused = v.Write("refused.sty", bytes);
            v.Open(refused);  // the previous file stays, drawn
            QVERIFY(v.Said().startsWith("The style file could not be opened.\n\n" + FromUtf8(refused)));
            QVERIFY(v.Node("Sprites")->childCount() == 5 && v.Get("cmdExport")->isEnabled() &&
                    v.Pixel(30, 30) == shown);
        }
        QVERIFY(v.Said().endsWith(": is not a style file: it begins with \"GBSX\" where a style file has \"GBST\""));
        // Export all: colour 0 is written transparent.
        v.Click("chkTrans");
        const QString png = FromUtf8(v.dir.File("png"));
        QDir().mkpath(png);
        TempDir::Write(v.dir.File("png/Tile0002.png"), "mine");
        QCOMPARE(v.ExportAll(png, 0, false), QStringList{"Tile0002.png"});  // asked once, and refused
        QVERIFY(v.platform.confirmQuestions.value(0).startsWith("1 of the 73 files to write are already in"));
        const QStringList names = v.ExportAll(png, 0, true);
        QVERIFY(names.size() == 72 && names[63] == "Pal063.pal" && names[67] == "Sprite0003.png");
        QVERIFY(v.Said().startsWith("Written to " + QDir::toNativeSeparators(png) +
                                    ": 4 tiles, 4 sprites and 64 palettes.\n\nNot written:\nSprite0004.png: sprite 4 "
                                    "lies outside the sprite graphics"));
        QList<QRgb> own = Colours(13);  // the item's own indices and colours, colour 0 transparent
        own[0] &= 0xFFFFFF;
        const QImage disc(png + "/Sprite0003.png");
        QVERIFY(disc.colorTable() == own && disc.pixelIndex(20, 20) == 40 && disc.pixelIndex(0, 0) == 0);

        // As bitmaps, each file the one the single export writes.
        QCOMPARE(v.ExportAll(FromUtf8(v.dir.File("bmp")), 1).size(), 72);
        QCOMPARE(v.Status(),
                 "Exported 72 of 73 files to " + QDir::toNativeSeparators(FromUtf8(v.dir.File("bmp"))) + ".");
        clsSTY reference;
        reference.LoadSTY(v.dir.File("small.sty"));
        reference.SaveTile(v.dir.File("expected"), 0);
        QVERIFY(TempDir::Read(v.dir.File("bmp/Tile0000.bmp")) == TempDir::Read(v.dir.File("expected")));

        ClickItem(v.Node("Tiles", 3));  // another file: its tree, and the drawing stays until a click
        StyleFile second = SmallStyle();
        second.tiles.resize(8, Tile(4096, '\1'));
        v.Open(v.Write("second.sty", second.Build()));
        QVERIFY(v.Pixel(30, 30) == Ramp(4, SmallTilePixel(3, 30, 30)) && v.Node("Tiles")->childCount() == 8);
    }

    void nothingStartsWhileBusyAndClosingStopsWhatCanBeStopped()
    {
        Viewer v;
        ClickItem(v.Node("Tiles", 2));
        v.Replace(v.Image("t.png", 64, std::vector<uint8_t>(4096, 5), Colours(3)));  // an edit to save and undo
        const QRgb replaced = v.Pixel(30, 30);
        const QString other = FromUtf8(v.Write("other.sty", SmallStyle().Build()));
        v.platform.settings["Kestrova/Recent/STY"] = other;
        QMenu* recent = v.Get<QPushButton>("cmdRecent")->menu();
        emit recent->aboutToShow();
        QVERIFY(v.WhileBusy([&] { v.Press("cmdSave"); },
                            [&] {
                                QCOMPARE(v.Usable(), QStringList());
                                v.Press(QKeySequence::Undo);
                                DropFile(&v.w, other);
                                recent->actions().value(0)->trigger();
                                QVERIFY(!v.w.close());
                            }));
        QCoreApplication::sendPostedEvents();
        QVERIFY(v.w.isVisible() && v.w.Caption() == "STY Editor - small.sty" && !v.Modified());
        QVERIFY(v.Pixel(30, 30) == replaced && v.Usable().contains("cmdExportAll") && v.Told() == 0);
        QCOMPARE(v.Status(), QStringLiteral("Saved small.sty."));
        QVERIFY(TempDir::Read(v.dir.File("small.sty")) != TempDir::Read(v.dir.File("small.sty.bak")));

        // Export All stops at once when the window is closed, says so, and the window goes.
        const QString folder = FromUtf8(v.dir.File("out"));
        v.platform.folderAnswers = {folder};
        v.platform.chooseAnswers = {0};
        QVERIFY(v.WhileBusy([&] { v.Press("cmdExportAll"); }, [&] { QVERIFY(!v.w.close() && v.w.isVisible()); }));
        QVERIFY(v.Said().endsWith(": 0 tiles, 0 sprites and 0 palettes.\n\nCancelled after 0 of 72 files."));
        QVERIFY(!v.w.isVisible() && QDir(folder).isEmpty());
    }

    void anExportOfAllStopsAfterTheFileBeingWrittenWhenAskedTo()
    {
        clsSTY style;
        style.ParseSTY(AsBytes(SmallStyle().Build()), "small.sty");
        struct StopAfter : Progress {
            int updates = 0;
            void Update(double, const std::string&) override
            {
                if (++updates == 5)
                    RequestStop();
            }
        } stop;
        TempDir dir;
        const std::vector<ExportEntry> entries = ExportEntries(style, false, {StyItem::Tile, StyItem::Palette});
        const ExportResult result = ExportAll(style, entries, FromUtf8(dir.File("")), false, false, stop);
        QVERIFY(result.cancelled && result.written[0] == 4 && result.written[2] == 1);
        QCOMPARE(QDir(FromUtf8(dir.File(""))).entryList(QDir::Files).size(), 5);
    }

    void replaceTakesTheItemsOwnColoursOnlyRedrawsAtOnceAndUndoes()
    {
        StyleFile file = SmallStyle();
        file.palettes[13].replace(7 * 4, 4, file.palettes[13].substr(3 * 4, 4));  // colour 7 is colour 3 again
        file.sprites.push_back({4 * 256 + 150, 4, 4});                            // sprite 4 lies on sprite 3
        file.palx.push_back(13);
        Viewer v(file);
        ClickItem(v.Node("Sprites", 3));
        QList<QRgb> own = Colours(13);
        own[7] = own[3];
        QList<QRgb> exported = own;
        exported[0] &= 0xFFFFFF;
        const auto indices = [&] {  // sprite 3 as the single export writes it
            v.Save("cmdExport", v.dir.File("now.png"));
            const QImage now(FromUtf8(v.dir.File("now.png")));
            std::vector<uint8_t> out;
            for (int i = 0; i < 1600; ++i)
                out.push_back(static_cast<uint8_t>(now.pixelIndex(i % 40, i / 40)));
            return out;
        };
        const std::vector<uint8_t> before = indices();
        std::vector<uint8_t> sevens = before, threes = before, zero = before, wide(41 * 40, 1);
        sevens[0] = 7, threes[0] = 3, zero[5 * 40 + 6] = 0;
        sevens[20 * 40 + 20] = threes[20 * 40 + 20] = 200;
        const auto now = [&](const QString& image) {
            return "Replaced sprite 3 from " + image + ". Sprite 4 shares pixels with it, so it changed too.";
        };
        const std::tuple<QString, QString, std::vector<uint8_t>> cases[] = {
            // image, what is said, indices after
            // Its own table, colour 0 transparent as exported: the indices as they are, 7 included.
            {v.Image("a.png", 40, sevens, exported), now("a.png"), sevens},
            // Colours: the lowest index of each.
            {v.Image("b.bmp", 40, sevens, own, QImage::Format_RGB32), now("b.bmp"), threes},
            // A fully transparent pixel: index 0.
            {v.Image("c.png", 40, before, own, QImage::Format_ARGB32, std::pair{QPoint(6, 5), qRgba(1, 2, 3, 0)}),
             now("c.png"), zero},
            {v.Image("w.png", 41, wide, own),
             "Sprite 3 is 40 x 40 pixels, but the image w.png is 41 x 40.\n\nSprite 3 was not changed.", zero},
            {v.Image("d.png", 40, before, own, QImage::Format_RGB32, std::pair{QPoint(3, 2), 0xFF123457u}),
             "d.png does not fit the palette of Sprite 3 (physical palette 13). The pixel at (3, 2) is #123457", zero},
            {v.Image("p.png", 40, before, Colours(12)), "p.png does not fit", zero},
            {FromUtf8(v.Write("e.png", "no image")), FromUtf8(v.dir.File("e.png")) + " could not be read as an image",
             zero},
        };
        for (const auto& [image, said, after] : cases) {
            const int told = v.Told();  // a refusal is told in a box, a replacement in the status line
            v.Replace(image);
            const QString got = v.Told() > told ? v.Said() : v.Status();
            QVERIFY2(got.startsWith(said), qPrintable(got));
            QVERIFY(indices() == after && v.Modified());
            QCOMPARE(v.Pixel(20, 20), Ramp(13, after[20 * 40 + 20]));  // drawn at once
        }
        const auto step = [&](int key) { QTest::keyClick(&v.w, Qt::Key_Z, Qt::KeyboardModifiers(key)); };
        for (const auto& after : {threes, sevens, before}) {  // back through the three replacements
            step(Qt::ControlModifier);
            QVERIFY(indices() == after && v.Pixel(20, 20) == Ramp(13, after[20 * 40 + 20]));
        }
        QVERIFY(!v.Modified());
        step(Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(indices() == sevens && v.Modified());
    }

    void saveWritesOnlyTheReplacedBytesAndUnsavedEditsAreAskedAbout()
    {
        Viewer v;
        const std::string path = v.dir.File("small.sty"), original = TempDir::Read(path);
        ClickItem(v.Node("Tiles", 2));
        std::vector<uint8_t> tile(4096), again(4096, 9);
        for (std::size_t i = 0; i < tile.size(); ++i)
            tile[i] = static_cast<uint8_t>(i % 7 + 1);
        const auto expected = [&](const std::vector<uint8_t>& pixels) {
            clsSTY model;
            model.ParseSTY(AsBytes(original), "small.sty");
            model.ReplaceTile(2, pixels);
            return std::string(model.FileBytes().begin(), model.FileBytes().end());
        };
        v.Replace(v.Image("t.png", 64, tile, Colours(3)));
        v.platform.saveChoices = {SaveChoice::Cancel};
        v.Open(v.Write("other.sty", SmallStyle().Build()));  // asked first; Cancel keeps the edit
        QVERIFY(v.platform.saveQuestions.at(0).text.startsWith("small.sty has unsaved changes.") && v.Modified());
        v.Click("cmdSave");
        QVERIFY(TempDir::Read(path) == expected(tile) && TempDir::Read(path + ".bak") == original && !v.Modified());
        const std::string copy = v.dir.File("copy.sty");
        v.Save("cmdSaveAs", copy);
        QVERIFY(TempDir::Read(copy) == expected(tile) && v.w.Caption() == "STY Editor - copy.sty");
        v.Replace(v.Image("u.png", 64, again, Colours(3)));
        v.platform.saveChoices = {SaveChoice::Save};
        v.w.close();  // closes once it has saved
        v.Idle();
        QVERIFY(!v.w.isVisible() && TempDir::Read(copy) == expected(again) && TempDir::Read(path) == expected(tile));
    }
};

QTEST_MAIN(TestFrmSTY)
#include "test_frmSTY.moc"
