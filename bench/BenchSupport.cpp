// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/BenchSupport.h"

#include <cstring>
#include <fstream>
#include <vector>

namespace bench {

TempDir& Scratch()
{
    static TempDir dir;
    return dir;
}

std::string WriteInput(const std::string& name, const std::string& bytes)
{
    const std::string path = Scratch().File(name);
    TempDir::Write(path, bytes);
    return path;
}

namespace {
std::vector<Limit>& LimitList()
{
    static std::vector<Limit> limits;
    return limits;
}
}  // namespace

void RegisterLimit(const Limit& limit)
{
    LimitList().push_back(limit);
}

const std::vector<Limit>& Limits()
{
    return LimitList();
}

void FloorLoad(benchmark::State& state, const std::string& path)
{
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        const auto size = static_cast<std::size_t>(in.tellg());
        in.seekg(0);
        std::vector<char> file(size);
        in.read(file.data(), static_cast<std::streamsize>(size));
        std::vector<char> copy(size);
        std::memcpy(copy.data(), file.data(), size);
        benchmark::DoNotOptimize(copy.data());
    }
}

void FloorSave(benchmark::State& state, std::size_t bytes)
{
    const std::string path = Scratch().File("floor-save.bin");
    const std::vector<char> data(bytes, 'x');
    for (auto _ : state) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
}

Lazy<Input> LazyInput(const std::string& name, std::function<std::string()> make)
{
    return Lazy<Input>([name, make] {
        const std::string bytes = make();
        return Input{WriteInput(name, bytes), bytes.size()};
    });
}

namespace {
benchmark::internal::Benchmark* Counted(const std::string& name, std::size_t bytes,
                                        std::function<void(benchmark::State&)> op)
{
    return benchmark::RegisterBenchmark(name.c_str(),
                                        [op, bytes](benchmark::State& state) {
                                            op(state);
                                            state.counters.try_emplace("bytes", static_cast<double>(bytes));
                                        })
        ->Unit(benchmark::kMillisecond);
}

// `op` with the size of `in` as its counter.
std::function<void(benchmark::State&)> Sized(const Lazy<Input>& in, std::function<void(benchmark::State&)> op)
{
    return [in, op](benchmark::State& state) {
        state.counters["bytes"] = static_cast<double>(in->bytes);
        op(state);
    };
}
}  // namespace

benchmark::internal::Benchmark* Register(const std::string& name, std::size_t bytes,
                                         std::function<void(benchmark::State&)> op)
{
    return Counted(name, bytes, std::move(op))->UseRealTime();
}

void Register(const std::string& name, const Lazy<Input>& in, std::function<void(benchmark::State&)> op)
{
    Register(name, 0, Sized(in, std::move(op)));
}

void RegisterTimedByItself(const std::string& name, const Lazy<Input>& in, std::function<void(benchmark::State&)> op)
{
    Counted(name, 0, Sized(in, std::move(op)))->UseManualTime()->Iterations(1);
}

void RegisterLoad(const std::string& operation, const std::string& size, const Lazy<Input>& in,
                  std::function<void(benchmark::State&)> op)
{
    const std::string name = operation + " " + size;
    Register(name, in, std::move(op));
    Register("floor " + name, in, [in](benchmark::State& state) { FloorLoad(state, in->path); });
}

void RegisterSave(const std::string& operation, const std::string& size, const Lazy<Input>& in,
                  std::function<void(benchmark::State&)> op)
{
    const std::string name = operation + " " + size;
    Register(name, in, std::move(op));
    Register("floor " + name, in, [in](benchmark::State& state) { FloorSave(state, in->bytes); });
}

}  // namespace bench
