#include <QApplication>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/WindowSupport.h"
#include "core/gxt/clsGXT.h"
#include "tests/support/GxtTestFile.h"
#include "ui/windows/frmGXT.h"

namespace bench {

namespace {

// Texts of about 60 characters, as in the game's files.
constexpr std::size_t kTextLength = 60;

void RegisterModel(const std::string& size, int entries)
{
    const std::string bytes = gxt_test::FileOf(gxt_test::GameLikeEntries(entries, kTextLength));
    const std::string path = WriteInput("text-" + size + ".gxt", bytes);

    RegisterLoad("LoadGXT", size, path, bytes.size(), [path](benchmark::State& state) {
        for (auto _ : state) {
            clsGXT model;
            benchmark::DoNotOptimize(model.LoadGXT(path));
        }
    });

    auto loaded = std::make_shared<clsGXT>();
    loaded->LoadGXT(path);
    const std::string target = Scratch().File("saved-" + size + ".gxt");
    RegisterSave("SaveGXT", size, bytes.size(), [loaded, target](benchmark::State& state) {
        for (auto _ : state)
            loaded->SaveGXT(target);
    });
}

// From the chosen file to a full window: load, then the list filled, with the real
// progress window running its events.
void RegisterOpen(const std::string& size, int entries)
{
    const std::string bytes = gxt_test::FileOf(gxt_test::GameLikeEntries(entries, kTextLength));
    const std::string path = WriteInput("window-" + size + ".gxt", bytes);
    RegisterWindowOpen<frmGXT>("frmGXT Open " + size, path, bytes.size());
}

}  // namespace

void RegisterGxtBenchmarks()
{
    RegisterModel("realistic", 2600);
    RegisterModel("x10", 26000);
    RegisterOpen("realistic", 2600);
    RegisterOpen("x10", 26000);
}

}  // namespace bench
