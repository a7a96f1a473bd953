#pragma once
// Each file format's benchmarks register themselves here.

namespace bench {

void RegisterGciBenchmarks();
void RegisterGxtBenchmarks();
void RegisterStyBenchmarks();
void RegisterGmpBenchmarks();

inline void RegisterAll()
{
    RegisterGciBenchmarks();
    RegisterGxtBenchmarks();
    RegisterStyBenchmarks();
    RegisterGmpBenchmarks();
}

}  // namespace bench
