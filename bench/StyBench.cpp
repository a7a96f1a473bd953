#include <QApplication>
#include <QDir>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <fstream>
#include <memory>
#include <tuple>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/StyleFiles.h"
#include "bench/WindowSupport.h"
#include "core/common/BitmapHeader.h"
#include "core/sty/clsSTY.h"
#include "images/StyImages.h"
#include "tests/support/StyBuilder.h"
#include "ui/platform/modGTA2Qt.h"
#include "ui/windows/StyPicture.h"
#include "ui/windows/frmSTY.h"

namespace bench {

namespace {

// The picture area's size in the viewer.
constexpr int kPictureWidth = 303;
constexpr int kPictureHeight = 257;
constexpr std::size_t kBitmapHead = 54 + 1024;

void RegisterModelLoad(const std::string& size, const std::string& path, std::size_t bytes)
{
    RegisterLoad("LoadSTY", size, path, bytes, [path](benchmark::State& state) {
        for (auto _ : state) {
            clsSTY model;
            model.LoadSTY(path);
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

    const std::string target = Scratch().File("export.bmp");
    RegisterSave("SaveTile", "64x64", kBitmapHead + 64 * 64, [sty, target](benchmark::State& state) {
        for (auto _ : state)
            sty->SaveTile(target, 0);
    });
    RegisterSave("SaveSprite", "64x64", kBitmapHead + 64 * 64, [sty, target](benchmark::State& state) {
        for (auto _ : state)
            sty->SaveSprite(target, 0);
    });
    RegisterSave("SaveSprite", "255x255", kBitmapHead + 256 * 255, [sty, target](benchmark::State& state) {
        for (auto _ : state)
            sty->SaveSprite(target, 1);
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
void RegisterModelSave(const std::string& size, const std::string& path, std::size_t bytes)
{
    auto sty = std::make_shared<clsSTY>();
    sty->LoadSTY(path);
    const std::string target = Scratch().File("saved-" + size + ".sty");
    RegisterSave("SaveSTY", size, bytes, [sty, target](benchmark::State& state) {
        for (auto _ : state)
            sty->SaveSTY(target);
    });
    RegisterLimit({"SaveSTY " + size, 3});
}

// Every sprite as a PNG file, against writing the same pixels as uncompressed 8-bit
// bitmaps, made beforehand, one file each.
void RegisterSpriteExport(const std::string& path)
{
    auto sty = std::make_shared<clsSTY>();
    sty->LoadSTY(path);
    const QString png = FromUtf8(Scratch().File("png")), bmp = FromUtf8(Scratch().File("bmp"));
    QDir().mkpath(png);
    QDir().mkpath(bmp);
    const std::string name = "ExportAll sprites PNG realistic";
    auto entries = std::make_shared<std::vector<ExportEntry>>(ExportEntries(*sty, true, {StyItem::Sprite}));
    std::size_t pixels = 0;
    auto bitmaps = std::make_shared<std::vector<std::pair<std::string, std::vector<char>>>>();
    for (const ExportEntry& entry : *entries) {
        const ItemPixels item = PixelsOf(*sty, StyItem::Sprite, entry.n);
        const int padded = (item.width + 3) / 4 * 4;
        const auto head = Bitmap8Bit(item.width, item.height, static_cast<uint32_t>(padded * item.height)).Bytes();
        std::vector<char> file(head.begin(), head.end());
        file.resize(kBitmapHead + static_cast<std::size_t>(padded) * item.height);
        for (int y = 0; y < item.height; ++y)
            std::copy_n(item.indices.data() + static_cast<std::size_t>(y) * item.width, item.width,
                        file.begin() + static_cast<std::ptrdiff_t>(kBitmapHead + (item.height - 1 - y) * padded));
        bitmaps->emplace_back(Scratch().File("bmp/" + ToUtf8(entry.name)), std::move(file));
        pixels += item.indices.size();
    }
    const auto floor = [bitmaps](benchmark::State& state) {
        for (auto _ : state)
            for (const auto& [file, bytes] : *bitmaps)
                std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    };
    Register(name, pixels, [sty, entries, png](benchmark::State& state) {
        for (auto _ : state)
            ExportAll(*sty, *entries, png, true, false);
    });
    Register("floor " + name, pixels, floor);
    RegisterLimit({name, 10});
    // The command line's "sty export --sprites --format bmp", which writes into a folder
    // without those files (it replaces none unasked): against the same bytes written as
    // new files with no safety at all.
    const std::string bmpName = "ExportAll sprites BMP realistic";
    auto bmpEntries = std::make_shared<std::vector<ExportEntry>>(ExportEntries(*sty, false, {StyItem::Sprite}));
    const QString out = FromUtf8(Scratch().File("bmp-export"));
    const auto emptied = [](benchmark::State& state, const QString& folder) {
        state.PauseTiming();
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        state.ResumeTiming();
    };
    Register(bmpName, pixels, [sty, bmpEntries, out, emptied](benchmark::State& state) {
        for (auto _ : state) {
            emptied(state, out);
            ExportAll(*sty, *bmpEntries, out, false, false);
        }
    });
    Register("floor " + bmpName, pixels, [bitmaps, bmp, emptied](benchmark::State& state) {
        for (auto _ : state) {
            emptied(state, bmp);
            for (const auto& [file, bytes] : *bitmaps)
                std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    });
    RegisterLimit({bmpName, 3});
}

QTreeWidgetItem* SpriteNode(frmSTY& window, int sprite)
{
    auto* tree = window.findChild<QTreeWidget*>(QStringLiteral("pix"));
    const auto found = tree->findItems(QStringLiteral("Sprites"), Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first()->child(sprite);
}

// A click on a sprite node until the picture on screen shows the sprite.
void RegisterNodeClick(const std::string& path)
{
    Register("frmSTY sprite click", 0, [path](benchmark::State& state) {
        BenchDesktop desktop;
        frmSTY window;
        ShowAndOpen(desktop, window, path);
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
    const StyleInput realistic = WriteStyle("realistic");
    const StyleInput large = WriteStyle("x10");
    RegisterModelLoad("realistic", realistic.path, realistic.bytes);
    RegisterModelLoad("x10", large.path, large.bytes);
    RegisterModelSave("realistic", realistic.path, realistic.bytes);
    RegisterModelSave("x10", large.path, large.bytes);
    RegisterSpriteExport(realistic.path);
    RegisterDrawing();
    RegisterWindowOpen<frmSTY>("frmSTY Open realistic", realistic.path, realistic.bytes);
    RegisterWindowOpen<frmSTY>("frmSTY Open x10", large.path, large.bytes);
    RegisterNodeClick(realistic.path);
}

}  // namespace bench
