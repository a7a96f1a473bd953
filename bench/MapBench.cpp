// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <algorithm>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/WindowSupport.h"
#include "core/gmp/CityMap.h"
#include "tests/support/MapBuilder.h"
#include "ui/windows/MapView.h"
#include "ui/windows/frmGMP.h"

namespace bench {

namespace {

using namespace map_test;

// 189 zones, as many as the game's largest map holds, of sizes from one block to 13 x 9,
// sorted by area as the game needs them.
std::vector<Zone> ManyZones()
{
    std::vector<Zone> zones;
    for (int i = 0; i < 189; ++i)
        zones.push_back({static_cast<uint8_t>(i % 2 ? 7 : 1), static_cast<uint8_t>(i * 37 % 240),
                         static_cast<uint8_t>(i * 53 % 240), static_cast<uint8_t>(1 + i % 13),
                         static_cast<uint8_t>(1 + i / 13 % 9), "zone" + std::to_string(i)});
    std::stable_sort(zones.begin(), zones.end(), [](const Zone& a, const Zone& b) { return a.w * a.h < b.w * b.h; });
    return zones;
}

// A column of its own for nearly every square: 1 to 5 blocks from level 0, as many over
// each patch of 4 x 4 squares as on a block of buildings, numbered at random among `count`
// blocks whose lids use tiles 1 to 7 in every look, each on one of the four ground types.
// With 4,000 blocks about 1.3 MB, as large as the game's maps; with 1,000,000 ten times that.
std::string BusyCity(int count)
{
    std::vector<Block> blocks{Block{}};
    for (int n = 1; n < count; ++n)
        blocks.push_back({Face(n % 7 + 1), 0, Face(2), 0, Face(n % 7 + 1, n / 7 % 4, n / 28 % 2 == 1, n / 56 % 4), 0,
                          static_cast<uint8_t>(n % 4)});
    uint32_t state = 12345;
    return Stacked(
        blocks,
        [&](int x, int y) {
            std::vector<uint32_t> numbers(static_cast<std::size_t>(1 + (x / 4 * 7 + y / 4 * 13 + x / 4 * y / 4) % 5));
            for (uint32_t& n : numbers)
                n = 1 + ((state = state * 1664525u + 1013904223u) >> 8) % static_cast<uint32_t>(count - 1);
            return numbers;
        },
        ManyZones());
}

const QSize kFrame(1280, 1024);

// Reading the blocks and zones of a map as large as the game's, about 1.3 MB.
void RegisterMapLoad(const Lazy<Input>& in)
{
    RegisterLoad("LoadCityMap", "realistic", in, [in](benchmark::State& state) {
        for (auto _ : state) {
            CityMap map;
            map.Load(in->path);
            benchmark::DoNotOptimize(map.BlockCount());
        }
    });
}

// A zone moved and the map saved with its backup, against writing as many bytes.
void RegisterZoneSave(const Lazy<Input>& in)
{
    const std::string target = Scratch().File("zone-edit.gmp");
    RegisterSave("SaveZoneEdit", "realistic", in, [in, target](benchmark::State& state) {
        CityMap map;
        map.Load(in->path);
        int step = 0;
        for (auto _ : state) {
            MapZone zone = map.Zones()[100];
            zone.x = static_cast<uint8_t>(++step % 200);
            map.ChangeZone(100, zone);
            map.Save(target);
        }
    });
    RegisterLimit({"SaveZoneEdit realistic", 3});
}

// One whole frame of the map viewer, its map area 1280 x 1024, at `zoom` pixels a block
// (0: the whole map), drawn and put on the offscreen screen; the lids already cached.
// With a `step`, each frame zooms in or back out by that factor first, as a turn of the
// wheel does, so that nothing drawn at the last zoom serves.
void RegisterFrame(const std::string& name, const Lazy<Input>& in, double zoom, double step = 1)
{
    Register(name, 0, [in, zoom, step](benchmark::State& state) {
        BenchDesktop desktop;
        frmGMP window;
        window.show();
        window.OpenDocument(QString::fromStdString(in->path));
        UntilIdle(window);
        MapView* view = window.View();
        window.resize(window.size() + kFrame - view->viewport()->size());
        QApplication::processEvents();
        if (view->viewport()->size() != kFrame)
            state.SkipWithError("the map area could not be made 1280 x 1024");
        view->ShowSquares(QRectF(100, 100, 1, 1));  // the middle of the town, all the way in
        view->SetZoom(zoom);
        const double zooms[2] = {view->Zoom(), view->Zoom() * step};
        int turn = 0;
        for (auto _ : state) {
            if (step != 1)
                view->SetZoom(zooms[turn ^= 1]);
            view->viewport()->repaint();
        }
    });
}

// The window's own Open of a map as large as the game's and of one ten times that (with
// no style beside them), and the longest stalls of the window's thread while the large
// one is opened and saved as a picture of the whole map at the offered scale.
void RegisterWindowWork()
{
    RegisterWindowOpen<frmGMP>("frmGMP Open realistic", LazyInput("city-realistic.gmp", [] { return BusyCity(4000); }),
                               100);
    const Lazy<Input> large = LazyInput("city-x10.gmp", [] { return BusyCity(1000000); });
    RegisterWindowOpen<frmGMP>("frmGMP Open x10", large, 200);
    RegisterOpenStall<frmGMP>("frmGMP Open x10 longest stall", large);
    const QString picture = QString::fromStdString(Scratch().File("city-x10.png"));
    RegisterStallWithOpen<frmGMP>("frmGMP Export x10 longest stall", large,
                                  [picture](BenchDesktop& desktop, frmGMP& window) {
                                      desktop.platform.saveAnswers.push_back(picture);
                                      window.cmdExport_Click();
                                  });
}

}  // namespace

void RegisterMapBenchmarks()
{
    const Lazy<Input> in = LazyInput("busy.gmp", [] {
        WriteInput("busy.sty", map_test::TownStyle().Build());  // opened with the map
        return BusyCity(4000);
    });
    RegisterMapLoad(in);
    RegisterZoneSave(in);
    RegisterFrame("frmGMP frame 1280x1024 whole map", in, 0);
    RegisterLimit({"frmGMP frame 1280x1024 whole map", 0, 16});
    RegisterFrame("frmGMP frame 1280x1024 zooming near whole map", in, 0, 1.25);
    RegisterLimit({"frmGMP frame 1280x1024 zooming near whole map", 0, 16});
    RegisterFrame("frmGMP frame 1280x1024 at 64 px", in, MapView::kMostZoom);
    RegisterFrame("frmGMP frame 1280x1024 at 5.5 px", in, 5.5);
    RegisterWindowWork();
}

}  // namespace bench
