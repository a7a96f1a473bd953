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

// About 1.3 MB, a column of its own for nearly every square: 1 to 5 blocks from level
// 0, as many over each patch of 4 x 4 squares as on a block of buildings, numbered at
// random among 4,000 blocks whose lids use tiles 1 to 7 in every look, each on one of the
// four ground types.
std::string BusyCity()
{
    std::vector<Block> blocks{Block{}};
    for (int n = 1; n < 4000; ++n)
        blocks.push_back({Face(n % 7 + 1), 0, Face(2), 0, Face(n % 7 + 1, n / 7 % 4, n / 28 % 2 == 1, n / 56 % 4), 0,
                          static_cast<uint8_t>(n % 4)});
    uint32_t state = 12345;
    return Stacked(
        blocks,
        [&](int x, int y) {
            std::vector<uint32_t> numbers(static_cast<std::size_t>(1 + (x / 4 * 7 + y / 4 * 13 + x / 4 * y / 4) % 5));
            for (uint32_t& n : numbers)
                n = 1 + ((state = state * 1664525u + 1013904223u) >> 8) % 3999;
            return numbers;
        },
        ManyZones());
}

const QSize kFrame(1280, 1024);

// Reading the blocks and zones of a map as large as the game's, about 1.3 MB.
void RegisterMapLoad(const std::string& path, std::size_t bytes)
{
    RegisterLoad("LoadCityMap", "realistic", path, bytes, [path](benchmark::State& state) {
        for (auto _ : state) {
            CityMap map;
            map.Load(path);
            benchmark::DoNotOptimize(map.BlockCount());
        }
    });
}

// A zone moved and the map saved with its backup, against writing as many bytes.
void RegisterZoneSave(const std::string& path, std::size_t bytes)
{
    const Lazy<CityMap> map([path] {
        CityMap loaded;
        loaded.Load(path);
        return loaded;
    });
    const std::string target = Scratch().File("zone-edit.gmp");
    RegisterSave("SaveZoneEdit", "realistic", bytes, [map, target](benchmark::State& state) {
        int step = 0;
        for (auto _ : state) {
            MapZone zone = map->Zones()[100];
            zone.x = static_cast<uint8_t>(++step % 200);
            map->ChangeZone(100, zone);
            map->Save(target);
        }
    });
    RegisterLimit({"SaveZoneEdit realistic", 3});
}

// One whole frame of the map viewer, its map area 1280 x 1024, at `zoom` pixels a block
// (0: the whole map), drawn and put on the offscreen screen; the lids already cached.
// With a `step`, each frame zooms in or back out by that factor first, as a turn of the
// wheel does, so that nothing drawn at the last zoom serves.
void RegisterFrame(const std::string& name, const std::string& path, double zoom, double step = 1)
{
    Register(name, 0, [path, zoom, step](benchmark::State& state) {
        BenchDesktop desktop;
        frmGMP window;
        window.show();
        window.OpenDocument(QString::fromStdString(path));
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

}  // namespace

void RegisterMapBenchmarks()
{
    const std::string file = BusyCity();
    const std::string path = WriteInput("busy.gmp", file);
    WriteInput("busy.sty", map_test::TownStyle().Build());  // opened with the map
    RegisterMapLoad(path, file.size());
    RegisterZoneSave(path, file.size());
    RegisterFrame("frmGMP frame 1280x1024 whole map", path, 0);
    RegisterLimit({"frmGMP frame 1280x1024 whole map", 0, 16});
    RegisterFrame("frmGMP frame 1280x1024 zooming near whole map", path, 0, 1.25);
    RegisterFrame("frmGMP frame 1280x1024 at 64 px", path, MapView::kMostZoom);
    RegisterFrame("frmGMP frame 1280x1024 at 5.5 px", path, 5.5);
}

}  // namespace bench
