#pragma once
// Each file format's benchmarks register themselves here.

namespace bench {

void RegisterGciBenchmarks();
void RegisterGxtBenchmarks();
void RegisterStyBenchmarks();
void RegisterGmpBenchmarks();
void RegisterMapBenchmarks();

inline void RegisterAll()
{
    RegisterGciBenchmarks();
    RegisterGxtBenchmarks();
    RegisterStyBenchmarks();
    RegisterGmpBenchmarks();
    RegisterMapBenchmarks();
}

}  // namespace bench
