// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every benchmark shares: a scratch folder, the floors an operation is measured
// against, and the naming that pairs an operation with its floor in the final table.
//
// An operation "LoadGXT" at size "realistic" is registered as "LoadGXT realistic" and
// its floor as "floor LoadGXT realistic"; the table pairs them by that name.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace bench {

// One folder for the whole run.
TempDir& Scratch();

// Writes `bytes` to a file in the scratch folder and returns its path.
std::string WriteInput(const std::string& name, const std::string& bytes);

// The floor of a load: read the whole file into memory and copy its bytes once.
void FloorLoad(benchmark::State& state, const std::string& path);
// The floor of a save: write the same number of bytes to a file.
void FloorSave(benchmark::State& state, std::size_t bytes);

// What a benchmark works on, made the first time it runs rather than at registration.
// Inputs made up front for every benchmark would all stay in the heap the others run in,
// and window work measures slower in a heap cut up by them; and each benchmark runs in a
// process of its own, which would make them all again.
template <typename T>
class Lazy {
public:
    explicit Lazy(std::function<T()> make) : slot_(std::make_shared<Slot>(Slot{std::move(make), {}})) {}
    T& operator*() const
    {
        if (!slot_->value)
            slot_->value.emplace(slot_->make());
        return *slot_->value;
    }
    T* operator->() const { return &**this; }

private:
    struct Slot {
        std::function<T()> make;
        std::optional<T> value;
    };
    std::shared_ptr<Slot> slot_;
};

// A file in the scratch folder.
struct Input {
    std::string path;
    std::size_t bytes = 0;
};
// The file `name` holding what `make` returns, written when first asked for.
Lazy<Input> LazyInput(const std::string& name, std::function<std::string()> make);

// Registers `op` with real time and the input size as the counter "bytes" (unless `op`
// sets it, for an input made when it first runs).
benchmark::internal::Benchmark* Register(const std::string& name, std::size_t bytes,
                                         std::function<void(benchmark::State&)> op);
// The same with the size of `in`, made before `op` runs.
void Register(const std::string& name, const Lazy<Input>& in, std::function<void(benchmark::State&)> op);
// Registers `op`, which times itself (SetIterationTime), to run once a repetition.
void RegisterTimedByItself(const std::string& name, const Lazy<Input>& in, std::function<void(benchmark::State&)> op);

// Registers an operation on the file `in` together with its load floor.
void RegisterLoad(const std::string& operation, const std::string& size, const Lazy<Input>& in,
                  std::function<void(benchmark::State&)> op);
// Registers an operation that writes as many bytes as `in` holds together with its save floor.
void RegisterSave(const std::string& operation, const std::string& size, const Lazy<Input>& in,
                  std::function<void(benchmark::State&)> op);

// A limit set on an operation: its median at most `times` that of its floor, or, for one
// without a floor, under `ms` milliseconds. The run ends with a line for each and the
// count of those over.
struct Limit {
    std::string operation;
    double times = 0;
    double ms = 0;
};
void RegisterLimit(const Limit& limit);
const std::vector<Limit>& Limits();

}  // namespace bench
