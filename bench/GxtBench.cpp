#include <QApplication>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "models/gxt/clsGXT.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/ScriptedPlatform.h"
#include "windows/frmGXT.h"
#include "windows/frmProgress.h"

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
void RegisterWindowOpen(const std::string& size, int entries)
{
    const std::string bytes = gxt_test::FileOf(gxt_test::GameLikeEntries(entries, kTextLength));
    const std::string path = WriteInput("window-" + size + ".gxt", bytes);
    Register("frmGXT Open " + size, bytes.size(), [path](benchmark::State& state) {
        ScriptedPlatform platform;
        ProgressWindowReporter progress;
        ProgressReporter* previous = InstallProgressReporter(&progress);
        frmGXT window;
        window.show();
        for (auto _ : state) {
            platform.openAnswers.push_back(QString::fromStdString(path));
            window.cmdOpen_Click();
        }
        InstallProgressReporter(previous);
    });
}

}  // namespace

void RegisterGxtBenchmarks()
{
    RegisterModel("realistic", 2600);
    RegisterModel("x10", 26000);
    RegisterWindowOpen("realistic", 2600);
    RegisterWindowOpen("x10", 26000);
}

}  // namespace bench
