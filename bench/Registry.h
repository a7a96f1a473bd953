#pragma once
// Each file format's benchmarks register themselves here.

namespace bench {

void RegisterGxtBenchmarks();

inline void RegisterAll()
{
    RegisterGxtBenchmarks();
}

}  // namespace bench
