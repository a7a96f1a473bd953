// SPDX-License-Identifier: GPL-3.0-or-later
// Runs every benchmark (or, as scripts/bench.sh does, gathers them from processes of
// their own), then prints one table: each operation's median, for an input of a
// megabyte or more beside the median of its floor (the least any program could do with
// the same input) and their ratio; how each operation grows from the realistic input to
// the ten-times one; and last each limit a user feels, "ok" or "OVER", and how many are over.

#include <benchmark/benchmark.h>
#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "bench/BenchSupport.h"
#include "bench/Memory.h"
#include "bench/Registry.h"
#include "bench/StyleFiles.h"

namespace {

struct Median {
    double ms = 0;
    double bytes = 0;
};

class MedianCollector : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            // The median of the repetitions; a single run stands for itself.
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            // A run that failed measured nothing; its limit shows as not measured.
            if ((!median && !single) || run.error_occurred)
                continue;
            const double toMs = 1000.0 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const auto bytes = run.counters.find("bytes");
            medians[run.run_name.function_name] = {run.GetAdjustedRealTime() * toMs,
                                                   bytes == run.counters.end() ? 0.0 : bytes->second.value};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    std::map<std::string, Median> medians;
};

// Below a megabyte, a floor is a few microseconds, and the ratio to it says nothing a user
// could notice.
constexpr double kLargeInput = 1 << 20;

void PrintTable(const std::map<std::string, Median>& medians)
{
    std::printf("\n%-46s %12s %12s %12s %8s\n", "operation", "input bytes", "median ms", "floor ms", "ratio");
    for (const auto& [name, m] : medians) {
        if (name.rfind("floor ", 0) == 0)
            continue;
        const auto floor = medians.find("floor " + name);
        if (floor == medians.end() || m.bytes < kLargeInput)
            std::printf("%-46s %12.0f %12.4f %12s %8s\n", name.c_str(), m.bytes, m.ms, "-", "-");
        else
            std::printf("%-46s %12.0f %12.4f %12.4f %8.2f\n", name.c_str(), m.bytes, m.ms, floor->second.ms,
                        m.ms / floor->second.ms);
    }

    // The floor's own growth shows what the machine adds: past the caches, every byte
    // costs more, whatever the program does with it.
    std::printf("\ngrowth from the realistic input to the ten-times one:\n");
    std::printf("  %-44s %12s %12s\n", "operation", "operation", "its floor");
    const std::string realistic = " realistic";
    for (const auto& [name, m] : medians) {
        if (name.rfind("floor ", 0) == 0 || !name.ends_with(realistic))
            continue;
        const std::string operation = name.substr(0, name.size() - realistic.size());
        const auto large = medians.find(operation + " x10");
        if (large == medians.end())
            continue;
        const auto floor = medians.find("floor " + name);
        const auto largeFloor = medians.find("floor " + operation + " x10");
        if (floor != medians.end() && largeFloor != medians.end())
            std::printf("  %-44s %10.2f x %10.2f x\n", operation.c_str(), large->second.ms / m.ms,
                        largeFloor->second.ms / floor->second.ms);
        else
            std::printf("  %-44s %10.2f x %12s\n", operation.c_str(), large->second.ms / m.ms, "-");
    }
}

// Each limit with what was measured against it, then the count of those over (a limit
// not measured among them: nothing shows it kept).
void PrintLimits(const std::map<std::string, Median>& medians)
{
    std::printf("\nlimits a user feels:\n");
    int over = 0;
    for (const bench::Limit& limit : bench::Limits()) {
        const auto op = medians.find(limit.operation);
        const auto floor = medians.find("floor " + limit.operation);
        if (op == medians.end() || (limit.times > 0 && floor == medians.end())) {
            std::printf("  %-44s %-36s OVER\n", limit.operation.c_str(), "not measured");
            ++over;
            continue;
        }
        const bool relative = limit.times > 0;
        const double got = relative ? op->second.ms / floor->second.ms : op->second.ms;
        const bool ok = relative ? got <= limit.times : got < limit.ms;
        over += ok ? 0 : 1;
        if (relative)
            std::printf("  %-44s %9.2f x floor  at most %6.2f x floor  %s\n", limit.operation.c_str(), got, limit.times,
                        ok ? "ok" : "OVER");
        else
            std::printf("  %-44s %9.2f ms       under %8.0f ms       %s\n", limit.operation.c_str(), got, limit.ms,
                        ok ? "ok" : "OVER");
    }
    std::printf("limits over: %d\n", over);
}

// One line an operation, for a run that gathers them from processes of their own.
void PrintMedians(const std::map<std::string, Median>& medians)
{
    std::printf("\n");  // after the console's last colour code
    for (const auto& [name, m] : medians)
        std::printf("median\t%s\t%.9g\t%.0f\n", name.c_str(), m.ms, m.bytes);
}

std::map<std::string, Median> ReadMedians(const char* path)
{
    std::map<std::string, Median> medians;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string tag, name;
        Median m;
        if (std::getline(fields, tag, '\t') && tag == "median" && std::getline(fields, name, '\t') &&
            fields >> m.ms >> m.bytes)
            medians[name] = m;
    }
    return medians;
}

}  // namespace

int main(int argc, char** argv)
{
    // Window work is measured on the offscreen platform unless another is asked for.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Two modes for the memory measurement, which needs a process of its own:
    //   --write-style SIZE PATH   writes the style file of that size ("realistic", "x10")
    //   --rss-after-open PATH     opens it in the style viewer and reports the memory
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "--write-style" && argc == 4) {
        std::printf("%zu\n", bench::WriteStyle(argv[2], argv[3]).bytes);
        return 0;
    }
    if (mode == "--rss-after-open" && argc == 3)
        return bench::OpenStyleAndReport(argv[2]);

    // Two more for running each operation in a process of its own:
    //   --medians-only ...   runs the benchmarks asked for and prints a "median" line each
    //   --table FILE         prints the table and the limits from such lines
    bench::RegisterAll();
    if (mode == "--table" && argc == 3) {
        // Measured from outside by scripts/bench.sh, in processes of their own.
        bench::RegisterLimit({"kestrova-cli info start-up", 0, 50});
        const auto medians = ReadMedians(argv[2]);
        PrintTable(medians);
        PrintLimits(medians);
        return 0;
    }
    const bool mediansOnly = mode == "--medians-only";
    if (mediansOnly)
        std::copy(argv + 2, argv + argc--, argv + 1);
    benchmark::Initialize(&argc, argv);
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    if (mediansOnly) {
        PrintMedians(collector.medians);
    } else if (!collector.medians.empty()) {
        PrintTable(collector.medians);
        PrintLimits(collector.medians);
    }
    benchmark::Shutdown();
    return 0;
}
