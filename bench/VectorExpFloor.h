#pragma once

// The floor of a computation: its exponentials at the vector rate of
// ModelExpBatch, measured in the same run as the computation itself.

#include "model/ModelExp.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <vector>

namespace tamrisk::bench {

// Seconds per exponential over arguments like the model's (0 to -20).
inline double VectorExpSeconds()
{
    std::vector<double> args(4096);
    for (std::size_t i = 0; i < args.size(); ++i)
        args[i] = -20.0 * double(i) / double(args.size());
    std::vector<double> out(args.size());
    double best = 1e9;
    for (int repeat = 0; repeat < 5; ++repeat) {
        constexpr int kRounds = 200;
        const auto begin = std::chrono::steady_clock::now();
        for (int r = 0; r < kRounds; ++r) {
            detail::ModelExpBatch(args.data(), out.data(), args.size());
            benchmark::DoNotOptimize(out.data());
        }
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
        best = std::min(best, spent.count() / (double(kRounds) * double(args.size())));
    }
    return best;
}

// Counters for a computation that needs `exps` exponentials per iteration.
inline void SetFloorCounters(benchmark::State& state, double exps)
{
    const double floor = exps * VectorExpSeconds();
    state.counters["exps"] = exps;
    state.counters["floor_us"] = floor * 1e6;
    // Iteration time over the floor.
    state.counters["x_floor"] = benchmark::Counter(floor, benchmark::Counter::kIsIterationInvariantRate |
                                                               benchmark::Counter::kInvert);
}

} // namespace tamrisk::bench
