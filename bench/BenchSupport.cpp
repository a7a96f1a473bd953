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

benchmark::internal::Benchmark* Register(const std::string& name, std::size_t bytes,
                                         std::function<void(benchmark::State&)> op)
{
    return benchmark::RegisterBenchmark(name.c_str(),
                                        [op, bytes](benchmark::State& state) {
                                            op(state);
                                            state.counters.try_emplace("bytes", static_cast<double>(bytes));
                                        })
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

void RegisterLoad(const std::string& operation, const std::string& size, const std::string& path, std::size_t bytes,
                  std::function<void(benchmark::State&)> op)
{
    const std::string name = operation + " " + size;
    Register(name, bytes, std::move(op));
    Register("floor " + name, bytes, [path](benchmark::State& state) { FloorLoad(state, path); });
}

void RegisterSave(const std::string& operation, const std::string& size, std::size_t bytes,
                  std::function<void(benchmark::State&)> op)
{
    const std::string name = operation + " " + size;
    Register(name, bytes, std::move(op));
    Register("floor " + name, bytes, [bytes](benchmark::State& state) { FloorSave(state, bytes); });
}

}  // namespace bench
