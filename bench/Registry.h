// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Each file format's benchmarks register themselves here, and run in this order.

namespace bench {

void RegisterGciBenchmarks();
void RegisterGxtBenchmarks();
void RegisterStyBenchmarks();
void RegisterGmpBenchmarks();
void RegisterMapBenchmarks();
void RegisterFontBenchmarks();
void RegisterPoBenchmarks();

inline void RegisterAll()
{
    RegisterGciBenchmarks();
    RegisterGxtBenchmarks();
    RegisterStyBenchmarks();
    RegisterGmpBenchmarks();
    RegisterMapBenchmarks();
    RegisterFontBenchmarks();
    RegisterPoBenchmarks();
}

}  // namespace bench
