#include <QApplication>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/WindowSupport.h"
#include "core/gmp/CityMap.h"
#include "tests/support/MapBuilder.h"
#include "ui/windows/MapView.h"
#include "ui/windows/frmGMP.h"

namespace bench {

namespace {

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

// One whole frame of the map viewer, its map area 1280 x 1024, at `zoom` pixels a block
// (0: the whole map), drawn and put on the offscreen screen; the lids already cached.
void RegisterFrame(const std::string& name, const std::string& path, double zoom)
{
    Register(name, 0, [path, zoom](benchmark::State& state) {
        BenchDesktop desktop;
        frmGMP window;
        window.show();
        window.OpenMap(QString::fromStdString(path));
        MapView* view = window.View();
        window.resize(window.size() + kFrame - view->viewport()->size());
        QApplication::processEvents();
        if (view->viewport()->size() != kFrame)
            state.SkipWithError("the map area could not be made 1280 x 1024");
        view->ShowSquares(QRectF(100, 100, 1, 1));  // the middle of the town, all the way in
        view->SetZoom(zoom);
        for (auto _ : state)
            view->viewport()->repaint();
    });
}

}  // namespace

void RegisterMapBenchmarks()
{
    const std::string file = map_test::BusyCity();
    const std::string path = WriteInput("busy.gmp", file);
    WriteInput("busy.sty", map_test::TownStyle().Build());  // opened with the map
    RegisterMapLoad(path, file.size());
    RegisterFrame("frmGMP frame 1280x1024 whole map", path, 0);
    RegisterFrame("frmGMP frame 1280x1024 at 64 px", path, MapView::kMostZoom);
    RegisterFrame("frmGMP frame 1280x1024 at 5.5 px", path, 5.5);
}

}  // namespace bench
