// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/BenchSupport.h"
#include "bench/Registry.h"
#include "core/gmp/clsGMP.h"
#include "tests/support/GmpBytes.h"

namespace bench {

namespace {

// A map of about `bytes` bytes, read whole: the block data the reader walks past, the
// light records, and an animation table of 40 records at the end.
std::string MapFile(std::size_t bytes)
{
    const std::string anims = gmpbytes::Chunk("ANIM", gmpbytes::AnimRecords(40));
    const std::string lights = gmpbytes::Chunk("LGHT", std::string(16 * 1000, '\x11'));
    std::string blocks(bytes - gmpbytes::Header().size() - anims.size() - lights.size() - 8, '\0');
    for (std::size_t i = 0; i < blocks.size(); ++i)
        blocks[i] = static_cast<char>((i * 31) >> 3);
    return gmpbytes::Header() + gmpbytes::Chunk("DMAP", blocks) + lights + anims;
}

void RegisterModel(const std::string& size, std::size_t bytes)
{
    const Lazy<Input> in = LazyInput("map-" + size + ".gmp", [bytes] { return MapFile(bytes); });
    RegisterLoad("LoadMap", size, in, [in](benchmark::State& state) {
        for (auto _ : state) {
            clsGMP model;
            model.LoadMap(in->path);
            benchmark::DoNotOptimize(model.Anims());
        }
    });
}

}  // namespace

void RegisterGmpBenchmarks()
{
    RegisterModel("realistic", 1 << 20);
    RegisterModel("x10", 10 << 20);
}

}  // namespace bench
