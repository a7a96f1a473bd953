// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <memory>
#include <tuple>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/StyleFiles.h"
#include "bench/WindowSupport.h"
#include "core/sty/clsSTY.h"
#include "tests/support/StyBuilder.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

namespace bench {

namespace {

// The picture area's size in the viewer.
constexpr int kPictureWidth = 303;
constexpr int kPictureHeight = 257;

void RegisterModelLoad(const std::string& size, const Lazy<Input>& in)
{
    RegisterLoad("LoadSTY", size, in, [in](benchmark::State& state) {
        for (auto _ : state) {
            clsSTY model;
            model.LoadSTY(in->path);
            benchmark::DoNotOptimize(model.GetNumOfSprx());
        }
    });
}

// Tile 0 and sprites of 64 x 64 (0) and 255 x 255 (1), drawn onto the viewer's own
// picture area and written as bitmaps.
void RegisterDrawing()
{
    sty_test::StyleFile f = GeneratedStyle({4, 64, 6, 0, 32});
    f.palx = {1, 2, 3, 4, 10, 11};
    f.sprites = {{0, 64, 64}, {64 * 256, 255, 255}};
    f.spriteGraphics.assign((64 + 255) * 256, '\0');
    for (std::size_t i = 0; i < f.spriteGraphics.size(); ++i)
        f.spriteGraphics[i] = static_cast<char>((i * 7 + i / 256) % 256);
    const std::string path = WriteInput("drawing.sty", f.Build());

    auto sty = std::make_shared<clsSTY>();
    sty->LoadSTY(path);

    // The picture area is made in each run, so no widget outlives the application.
    for (auto [name, sprite, pixels] : {std::tuple{"RenderTile 64x64", -1, 64 * 64},
                                        {"RenderSprite 64x64", 0, 64 * 64},
                                        {"RenderSprite 255x255", 1, 255 * 255}})
        Register(name, static_cast<std::size_t>(pixels), [sty, sprite](benchmark::State& state) {
            StyPicture picture;
            picture.resize(kPictureWidth, kPictureHeight);
            for (auto _ : state)
                sprite < 0 ? sty->RenderTile(0, picture) : sty->RenderSprite(sprite, picture, 0);
        });

    // New pixels for the 255 x 255 sprite, on screen: two sets in turn, so every
    // replacement changes every pixel.
    Register("ReplaceSprite 255x255 drawn", 255 * 255, [sty](benchmark::State& state) {
        StyPicture shown;
        shown.resize(kPictureWidth, kPictureHeight);
        shown.show();
        std::vector<uint8_t> sets[2] = {std::vector<uint8_t>(255 * 255, 3), std::vector<uint8_t>(255 * 255, 200)};
        bool flip = false;
        for (auto _ : state) {
            sty->ReplaceSprite(1, sets[flip = !flip]);
            sty->RenderSprite(1, shown, 0);
            shown.Show();
        }
    });
    RegisterLimit({"ReplaceSprite 255x255 drawn", 0, 5});
}

// The whole file back through the safe save, against writing as many bytes.
void RegisterModelSave(const std::string& size, const Lazy<Input>& in)
{
    const std::string target = Scratch().File("saved-" + size + ".sty");
    RegisterSave("SaveSTY", size, in, [in, target](benchmark::State& state) {
        clsSTY sty;
        sty.LoadSTY(in->path);
        for (auto _ : state)
            sty.SaveSTY(target);
    });
    RegisterLimit({"SaveSTY " + size, 3});
}

// The window's thread while the ten-times file is opened, saved (a copy: a save replaces
// the file it saves) and exported whole as PNG files, each time into an empty folder.
void RegisterStalls(const Lazy<Input>& large)
{
    RegisterOpenStall<frmSTY>("frmSTY Open x10 longest stall", large);
    const Lazy<Input> copy([large] {
        const std::string path = Scratch().File("stall-save.sty");
        QFile::copy(FromUtf8(large->path), FromUtf8(path));
        return Input{path, large->bytes};
    });
    RegisterStallWithOpen<frmSTY>("frmSTY Save x10 longest stall", copy,
                                  [](BenchDesktop&, frmSTY& window) { window.cmdSave_Click(); });
    const QString folder = FromUtf8(Scratch().File("stall-export"));
    RegisterStallWithOpen<frmSTY>(
        "frmSTY Export All x10 longest stall", large,
        [folder](BenchDesktop& desktop, frmSTY& window) {
            desktop.platform.folderAnswers.push_back(folder);
            desktop.platform.chooseAnswers.push_back(0);  // PNG
            window.cmdExportAll_Click();
        },
        [folder] {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
        });
}

QTreeWidgetItem* SpriteNode(frmSTY& window, int sprite)
{
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("pix"));
    const auto found = tree->findItems(QStringLiteral("Sprites"), Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first()->child(sprite);
}

// A click on a sprite node until the picture on screen shows the sprite.
void RegisterNodeClick(const Lazy<Input>& in)
{
    Register("frmSTY sprite click", 0, [in](benchmark::State& state) {
        BenchDesktop desktop;
        frmSTY window;
        ShowAndOpen(desktop, window, in->path);
        QTreeWidgetItem* first = SpriteNode(window, 2998);
        QTreeWidgetItem* second = SpriteNode(window, 2999);
        bool flip = false;
        for (auto _ : state) {
            // Two sprites in turn, so every click draws something new.
            window.pix_NodeClick((flip = !flip) ? first : second);
        }
    });
}

}  // namespace

void RegisterStyBenchmarks()
{
    const Lazy<Input> realistic([] { return WriteStyle("realistic"); });
    const Lazy<Input> large([] { return WriteStyle("x10"); });
    RegisterModelLoad("realistic", realistic);
    RegisterModelLoad("x10", large);
    RegisterModelSave("realistic", realistic);
    RegisterModelSave("x10", large);
    RegisterDrawing();
    RegisterWindowOpen<frmSTY>("frmSTY Open realistic", realistic, 100);
    RegisterWindowOpen<frmSTY>("frmSTY Open x10", large, 200);
    RegisterStalls(large);
    RegisterNodeClick(realistic);
}

}  // namespace bench
