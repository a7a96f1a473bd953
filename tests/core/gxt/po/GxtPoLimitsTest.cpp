// SPDX-License-Identifier: GPL-3.0-or-later
// What PO import and export refuse, what a failed export leaves, and their memory.

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>

#include "core/po/GxtPo.h"
#include "tests/core/gxt/GxtLanguageFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/Thrown.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

using namespace gxt_test;

namespace {

const std::string kHead = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n";  // 4 words

// `count` entries of keys the model lacks, each of six words.
std::string UnknownEntries(int count, const std::string& text = "a")
{
    std::string po;
    po.reserve(static_cast<std::size_t>(count) * (40 + 2 * text.size()));
    const std::string rest = "\"\nmsgid \"" + text + "\"\nmsgstr \"" + text + "\"\n";
    for (int i = 0; i < count; ++i)
        po.append("\nmsgctxt \"u").append(std::to_string(i)).append(rest);
    return po;
}

// `keys` keys all pointing at one text: a small file of many texts.
clsGXT SharedText(int keys, const std::string& text)
{
    std::string records;
    for (int i = 0; i < keys; ++i)
        records += Key(0, "s" + std::to_string(i));
    return Parsed(File(records, Cells(text)));
}

}  // namespace

TEST(PoLimits, AnImportReadsOnlyAFileWithinItsSizeAndWordsAndChangesNothingOtherwise)
{
    TempDir dir;
    const std::string po = dir.File("t.po");
    // 600,000 words exactly: escaped quotes and a "#" inside a string are no comment.
    TempDir::Write(po, kHead + "# x\n" + UnknownEntries(99998) +
                           "msgctxt \"q\" msgid \"\\\" # not a comment\" "
                           "msgstr \"\\\\\"\n");
    clsGXT model = Parsed(GameFontFrenchFile());
    EXPECT_EQ(ImportPo(model, po).skipped, 99999);
    TempDir::Write(po, TempDir::Read(po) + "#\n");
    TempDir::Write(dir.File("big.po"), "");
    std::filesystem::resize_file(dir.At("big.po"), kLargestPoBytes + 1);  // sparse: takes no disk
    const std::pair<std::string, std::string> refused[] = {
        {po, "is too large to load: it has more than 600,000 words and strings, more than any PO file"},
        {dir.File("big.po"),
         "is too large to load: 67108865 bytes, more than any PO file of a game's texts (at most "
         "64 MB)"},
    };
    for (const auto& [file, problem] : refused)
        EXPECT_PRED2(Holds, Thrown<FileError>([&] { ImportPo(model, file); }), file + ": " + problem);
    EXPECT_EQ(Snapshot(model), Snapshot(Parsed(GameFontFrenchFile())));
}

TEST(PoLimits, AnExportPastTheLimitsOrOntoAFullDiskIsRefusedAndTheOldFileStays)
{
    TempDir dir;
    const std::string po = dir.File("old.po");
    TempDir::Write(po, "translated");
    std::string lines = "a";  // 21 lines: 22 strings in msgid and in msgstr, 48 words an entry
    for (int i = 0; i < 20; ++i)
        lines += "\na";
    const std::pair<clsGXT, std::string> refused[] = {
        {SharedText(kMostPoEntries + 1, "x"),
         "cannot be written: the text file has 100,001 entries, and a PO file of more than "
         "100,000 is not read back"},
        {SharedText(12500, lines),
         "cannot be written: it would be larger than any PO file read back (64 MB or 600,000 "
         "words and strings)"},
    };
    for (const auto& [texts, problem] : refused)
        EXPECT_EQ(Thrown<FileError>([&] { ExportPo(texts, nullptr, po); }), po + ": " + problem);
#ifndef _WIN32
    std::signal(SIGXFSZ, SIG_IGN);  // files may not grow past 100 KB: the export needs more
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit small{.rlim_cur = 100000, .rlim_max = previous.rlim_max};
    setrlimit(RLIMIT_FSIZE, &small);
    const std::string error = Thrown<FileError>([&] { ExportPo(Parsed(FileOf(ManyEntries(3000))), nullptr, po); });
    setrlimit(RLIMIT_FSIZE, &previous);
    EXPECT_EQ(error, po + ": cannot be written: the disk is full");
#endif
    EXPECT_EQ(dir.Listing(), (std::set<std::string>{"old.po=translated"}));
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
namespace {

// The most resident memory `run` takes beyond what the process holds before it.
uint64_t PeakOf(const std::function<void()>& run)
{
    const auto field = [](const std::string& name) {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line) && !line.starts_with(name)) {
        }
        return std::stoull(line.substr(name.size())) << 10;
    };
#ifdef __GLIBC__
    malloc_trim(0);
#endif
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    const uint64_t before = field("VmRSS:");
    run();
    return field("VmHWM:") - before;
}

constexpr uint64_t kMB = 1 << 20;

}  // namespace

// Scaled down from a 200 MB PO file of unknown keys (1.25 GB) and the export of a 64 MB
// text file of 5.6 million keys sharing one text (3 GB): each stays under four times its
// input and 64 MB, or is refused before; and an export is written a batch at a time.
TEST(PoMemory, ImportsAndExportsPeakUnderFourTimesTheirInputAnd64MB)
{
    TempDir dir;
    const std::string tiny = dir.File("tiny.po"), tall = dir.File("tall.po"), out = dir.File("out.po");
    TempDir::Write(tiny, kHead + UnknownEntries(300000));
    TempDir::Write(tall, kHead + UnknownEntries(20000, std::string(120, 't')));
    const clsGXT many = SharedText(300000, std::string(10, 'a')), streamed = SharedText(20000, std::string(200, 'a'));
    clsGXT model = Parsed(GameFontFrenchFile());
    const auto bound = [](std::size_t input) { return 4 * input + 64 * kMB; };
    // Heavier last: a heap that memory was given back to takes it again unseen.
    const std::tuple<const char*, uint64_t, std::function<void()>> cases[] = {
        // All at once, the library would hold some 20 MB for it.
        {"a batch at a time", 8 * kMB, [&] { ExportPo(streamed, nullptr, out); }},
        {"many keys", bound(300000 * 12),
         /* 12 bytes a key */ [&] { EXPECT_THROW(ExportPo(many, nullptr, out + "x"), FileError); }},
        {"long entries", bound(std::filesystem::file_size(dir.At("tall.po"))),
         [&] { EXPECT_EQ(ImportPo(model, tall).skipped, 20000); }},
        {"tiny entries", bound(std::filesystem::file_size(dir.At("tiny.po"))),
         [&] { EXPECT_THROW(ImportPo(model, tiny), FileError); }},
    };
    for (const auto& [what, most, run] : cases)
        EXPECT_LT(PeakOf(run), most) << what;
    EXPECT_EQ(ImportPo(model, out).skipped, 20000);  // the export was written whole
}
#endif
