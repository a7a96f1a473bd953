// SPDX-License-Identifier: GPL-3.0-or-later
#include <memory>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/WindowSupport.h"
#include "core/gci/clsGCI.h"
#include "tests/support/GCISampleFile.h"
#include "ui/windows/frmGCI.h"

namespace bench {

namespace {

Lazy<Input> CarFile(const std::string& name, int cars)
{
    return LazyInput(name, [cars] { return gci_sample::File(cars); });
}

void RegisterModel(const std::string& size, int cars, double openLimitMs)
{
    const Lazy<Input> in = CarFile("cars-" + size + ".gci", cars);
    RegisterWindowOpen<frmGCI>("frmGCI Open " + size, in, openLimitMs);

    RegisterLoad("LoadCars", size, in, [in](benchmark::State& state) {
        for (auto _ : state) {
            clsGCI model;
            model.LoadCars(in->path);
            benchmark::DoNotOptimize(model.GetNumOfCars());
        }
    });

    const std::string target = Scratch().File("saved-" + size + ".gci");
    RegisterSave("SaveCars", size, in, [in, target](benchmark::State& state) {
        clsGCI loaded;
        loaded.LoadCars(in->path);
        for (auto _ : state)
            loaded.SaveCars(target);
    });
}

}  // namespace

void RegisterGciBenchmarks()
{
    RegisterModel("realistic", 85, 100);
    RegisterModel("x10", 850, 200);
    // The window's thread while the ten-times file is opened and saved.
    RegisterOpenStall<frmGCI>("frmGCI Open x10 longest stall", CarFile("stall-open.gci", 850));
    RegisterStallWithOpen<frmGCI>("frmGCI Save x10 longest stall", CarFile("stall-save.gci", 850),
                                  [](BenchDesktop&, frmGCI& window) { window.cmdSavefile_Click(); });
}

}  // namespace bench
