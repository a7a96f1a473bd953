// SPDX-License-Identifier: GPL-3.0-or-later
// Texts in the game's font: the text editor's preview of a file's longest text, and the
// command line's check of a whole game-sized text file, on a font style shaped like the
// game's (14 fonts of 140, 1, 1, 140 and ten of 144 characters after 44 other sprites;
// font 3 the first with lower-case letters); and the style viewer's Export All of that
// style.

#include <QDir>
#include <algorithm>

#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "bench/WindowSupport.h"
#include "core/gxt/clsGXT.h"
#include "core/io/FileIO.h"
#include "core/sty/FontText.h"
#include "core/translation/TextCheck.h"
#include "tests/support/GxtTestFile.h"
#include "tests/support/StyBuilder.h"
#include "ui/windows/frmSTY.h"

namespace bench {

namespace {

constexpr int kTexts = 2600;
constexpr std::size_t kLongestText = 2000;

std::string FontStyleBytes()
{
    // The heights are ours, up to 65 pixels; the counts are those of the game's file.
    const int heights[] = {65, 16, 16, 24, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52};
    std::vector<sty_test::FontSpec> fonts;
    for (int f = 0; f < 14; ++f)
        fonts.push_back({f == 1 || f == 2 ? 1 : f == 0 || f == 3 ? 140 : 144, heights[f], f == 3});
    return sty_test::FontStyle(fonts, {20, 10, 8, 4, 2}).Build();
}

// Spanish-like texts: 'o' as 0xB0, 'e' as 0xA9, beyond and within font 3, and one text
// of 2,000 characters with markup and accented letters, the longest.
std::string SpanishTextBytes()
{
    std::vector<gxt_test::Entry> entries = gxt_test::GameLikeEntries(kTexts - 1, 60);
    for (gxt_test::Entry& entry : entries)
        for (char& c : entry.text)
            c = c == 'o' ? '\xB0' : c == 'e' ? '\xA9' : c;
    std::string longest = "G!";
    while (longest.size() < kLongestText)
        longest += "#Ve# al caf\xA9 y *coge* el coche, r\xA0pido. ";
    entries.push_back({"longest", gxt_test::Cells(longest.substr(0, kLongestText), 2)});
    return gxt_test::FileOf(entries);
}

struct FontInputs {
    std::string stylePath, textsPath;
    clsSTY style;
    std::string longest;
    int font = 0;
};

FontInputs MakeInputs()
{
    FontInputs in;
    in.stylePath = WriteInput("fstyle.sty", FontStyleBytes());
    in.textsPath = WriteInput("s.gxt", SpanishTextBytes());
    in.style.LoadSTY(in.stylePath);
    in.font = DefaultFont(in.style).value_or(0);
    clsGXT texts;
    texts.ReadGXT(in.textsPath);
    for (int32_t e = 1; e <= texts.GetEntries(); ++e)
        if (const std::string text = texts.GetValue(e); text.size() > in.longest.size())
            in.longest = text;
    return in;
}

}  // namespace

void RegisterFontBenchmarks()
{
    const Lazy<FontInputs> in(MakeInputs);
    // The font's glyphs read and the text drawn, as the preview does when a text is chosen.
    const std::string preview = "FontText preview longest text";
    Register(preview, 0, [in](benchmark::State& state) {
        state.counters["bytes"] = static_cast<double>(in->longest.size());
        for (auto _ : state) {
            const DrawnText drawn = GameFont(in->style, in->font).Draw(in->longest);
            benchmark::DoNotOptimize(drawn.pixels.data());
        }
    });
    RegisterLimit({preview, 0, 2});
    // "gxt check": both files loaded, the default font found, every text checked.
    const std::string check = "gxt check realistic";
    Register(check, 0, [in](benchmark::State& state) {
        state.counters["bytes"] = static_cast<double>(TempDir::Read(in->textsPath).size());
        for (auto _ : state) {
            clsGXT texts;
            texts.ReadGXT(in->textsPath);
            clsSTY style;
            style.LoadSTY(in->stylePath);
            const GameFont font(style, DefaultFont(style).value_or(0));
            benchmark::DoNotOptimize(CheckTexts(texts, font).size());
        }
    });
    RegisterLimit({check, 0, 100});
    // Export All as the user first gets it: PNG files, into an empty folder.
    const std::string exportAll = "frmSTY Export All font style";
    Register(exportAll, 0, [in](benchmark::State& state) {
        state.counters["bytes"] = static_cast<double>(TempDir::Read(in->stylePath).size());
        const QString folder = QString::fromStdString(Scratch().File("font-export"));
        BenchDesktop desktop;
        frmSTY window;
        ShowAndOpen(desktop, window, in->stylePath);
        for (auto _ : state) {
            state.PauseTiming();
            QDir(folder).removeRecursively();
            QDir().mkpath(folder);
            desktop.platform.folderAnswers.push_back(folder);
            desktop.platform.chooseAnswers.push_back(0);
            state.ResumeTiming();
            window.cmdExportAll_Click();
            UntilIdle(window);
        }
        desktop.Check(state);
    });
    RegisterLimit({exportAll, 0, 1000});
}

}  // namespace bench
