// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/WindowSupport.h"
#include "core/gxt/clsGXT.h"
#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/GxtTestFile.h"
#include "ui/windows/frmGXT.h"

#ifdef KESTROVA_HAVE_PO
#include <gettext-po.h>

#include "core/io/FileIO.h"
#include "core/po/GxtPo.h"
#endif

namespace bench {

namespace {

// Texts of about 60 characters, as in the game's files.
constexpr std::size_t kTextLength = 60;

Lazy<Input> TextFile(const std::string& name, int entries)
{
    return LazyInput(name, [entries] { return gxt_test::FileOf(gxt_test::GameLikeEntries(entries, kTextLength)); });
}

// The model's load and save, and from the chosen file to a full window: the load and the
// texts made on a worker, then the list shown.
void RegisterSize(const std::string& size, int entries, double openLimitMs)
{
    const Lazy<Input> in = TextFile("text-" + size + ".gxt", entries);
    RegisterLoad("LoadGXT", size, in, [in](benchmark::State& state) {
        for (auto _ : state) {
            clsGXT model;
            benchmark::DoNotOptimize(model.LoadGXT(in->path));
        }
    });
    const std::string target = Scratch().File("saved-" + size + ".gxt");
    RegisterSave("SaveGXT", size, in, [in, target](benchmark::State& state) {
        clsGXT loaded;
        loaded.LoadGXT(in->path);
        for (auto _ : state)
            loaded.SaveGXT(target);
    });
    RegisterWindowOpen<frmGXT>("frmGXT Open " + size, in, openLimitMs);
}

// The window's thread while a file of `entries` texts is opened, saved and exported as PO.
void RegisterStalls(int entries)
{
    RegisterOpenStall<frmGXT>("frmGXT Open x10 longest stall", TextFile("stall-open.gxt", entries));
    const Lazy<Input> in = TextFile("stalls.gxt", entries);
    RegisterStallWithOpen<frmGXT>("frmGXT Save x10 longest stall", in,
                                  [](BenchDesktop&, frmGXT& window) { window.cmdSave_Click(); });
#ifdef KESTROVA_HAVE_PO
    const QString po = QString::fromStdString(Scratch().File("stalls.po"));
    RegisterStallWithOpen<frmGXT>("frmGXT Export PO x10 longest stall", in,
                                  [po](BenchDesktop& desktop, frmGXT& window) {
                                      desktop.platform.confirmAnswers.push_back(false);  // its own texts as originals
                                      desktop.platform.saveAnswers.push_back(po);
                                      window.cmdExportPo_Click();
                                  });
#endif
}

#ifdef KESTROVA_HAVE_PO
void Ignore(int, po_message_t, const char*, std::size_t, std::size_t, int, const char*) {}
void Ignore2(int, po_message_t, const char*, std::size_t, std::size_t, int, const char*, po_message_t, const char*,
             std::size_t, std::size_t, int, const char*)
{
}
const po_xerror_handler kIgnore = {Ignore, Ignore2};

// ExportPo and ImportPo next to the library's own work on the same entries: building the
// messages and writing them, and reading the file and going over its messages.
struct PoInputs {
    clsGXT model;
    std::string po;
    std::size_t bytes = 0;
    std::vector<std::pair<std::string, std::string>> messages;
};

PoInputs MakePoInputs(const std::string& size, int entries)
{
    PoInputs in;
    in.model.ParseGXT(AsBytes(gxt_test::FileOf(gxt_test::ManyEntries(entries, kTextLength))), "text.gxt");
    in.po = Scratch().File("text-" + size + ".po");
    ExportPo(in.model, nullptr, in.po);
    in.bytes = TempDir::Read(in.po).size();
    for (int32_t i = 1; i <= in.model.GetEntries(); ++i)
        in.messages.emplace_back(in.model.GetKey(i).c_str(), in.model.GetText(i));
    return in;
}

void RegisterPo(const std::string& size, int entries)
{
    const Lazy<PoInputs> in([size, entries] { return MakePoInputs(size, entries); });
    const auto measured = [in](benchmark::State& state, auto&& op) {
        PoInputs& inputs = *in;
        state.counters["bytes"] = static_cast<double>(inputs.bytes);
        for (auto _ : state)
            op(inputs);
    };
    const std::string target = Scratch().File("export-" + size + ".po");
    Register("ExportPo " + size, 0, [measured, target](benchmark::State& state) {
        measured(state, [&](PoInputs& in) { ExportPo(in.model, nullptr, target); });
    });
    Register("floor ExportPo " + size, 0, [measured, target](benchmark::State& state) {
        measured(state, [&](PoInputs& in) {
            po_file_t file = po_file_create();
            po_message_iterator_t it = po_message_iterator(file, nullptr);
            po_message_t header = po_message_create();
            po_message_set_msgid(header, "");
            po_message_set_msgstr(header, "Content-Type: text/plain; charset=UTF-8\n");
            po_message_insert(it, header);
            for (const auto& [key, text] : in.messages) {
                po_message_t m = po_message_create();
                po_message_set_msgctxt(m, key.c_str());
                po_message_set_msgid(m, text.c_str());
                po_message_set_msgstr(m, text.c_str());
                po_message_insert(it, m);
            }
            po_message_iterator_free(it);
            po_file_write(file, target.c_str(), &kIgnore);
            po_file_free(file);
        });
    });
    Register("ImportPo " + size, 0, [measured](benchmark::State& state) {
        measured(state, [](PoInputs& in) { benchmark::DoNotOptimize(ImportPo(in.model, in.po).unchanged); });
    });
    Register("floor ImportPo " + size, 0, [measured](benchmark::State& state) {
        measured(state, [](PoInputs& in) {
            po_file_t file = po_file_read(in.po.c_str(), &kIgnore);
            po_message_iterator_t it = po_message_iterator(file, nullptr);
            std::size_t total = 0;
            while (po_message_t m = po_next_message(it))
                total += std::string_view(po_message_msgstr(m)).size();
            benchmark::DoNotOptimize(total);
            po_message_iterator_free(it);
            po_file_free(file);
        });
    });
}
#endif

}  // namespace

void RegisterGxtBenchmarks()
{
    RegisterSize("realistic", 2600, 100);
    RegisterSize("x10", 26000, 200);
    RegisterStalls(26000);
}

void RegisterPoBenchmarks()
{
#ifdef KESTROVA_HAVE_PO
    RegisterPo("realistic", 2600);
    RegisterPo("x10", 26000);
#endif
}

}  // namespace bench
