#include <memory>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "core/gci/clsGCI.h"
#include "tests/support/GCISampleFile.h"

namespace bench {

namespace {

void RegisterModel(const std::string& size, int cars)
{
    const std::string bytes = gci_sample::File(cars);
    const std::string path = WriteInput("cars-" + size + ".gci", bytes);

    RegisterLoad("LoadCars", size, path, bytes.size(), [path](benchmark::State& state) {
        for (auto _ : state) {
            clsGCI model;
            model.LoadCars(path);
            benchmark::DoNotOptimize(model.GetNumOfCars());
        }
    });

    auto loaded = std::make_shared<clsGCI>();
    loaded->LoadCars(path);
    const std::string target = Scratch().File("saved-" + size + ".gci");
    RegisterSave("SaveCars", size, bytes.size(), [loaded, target](benchmark::State& state) {
        for (auto _ : state)
            loaded->SaveCars(target);
    });
}

}  // namespace

void RegisterGciBenchmarks()
{
    RegisterModel("realistic", 85);
    RegisterModel("x10", 850);
}

}  // namespace bench
