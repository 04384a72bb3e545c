// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The floor of a computation: its exponentials at the vector rate of
// ModelExpBatch, measured in the same run as the computation itself.

#include "lanes/ModelExp.h"

#include <benchmark/benchmark.h>

#include <algorithm>
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

// Runs `work` as the benchmark's iterations and, between them (with the
// timing paused), one short round of exponentials at the vector rate. The
// best of each is kept, so noise on a shared machine moves both figures
// rather than their ratio. Counters: the best iteration (best_us), the
// floor for `exps` exponentials (floor_us) and their ratio (x_floor).
template <class Work>
void RunBesideFloor(benchmark::State& state, double exps, Work work)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> args(1024);
    for (std::size_t i = 0; i < args.size(); ++i)
        args[i] = -20.0 * double(i) / double(args.size());
    std::vector<double> out(args.size());
    double best = 1e9;
    double bestExp = 1e9;
    for (auto _ : state) {
        const Clock::time_point begin = Clock::now();
        work();
        best = std::min(best, std::chrono::duration<double>(Clock::now() - begin).count());
        state.PauseTiming();
        constexpr int kRounds = 4;
        const Clock::time_point floorBegin = Clock::now();
        for (int r = 0; r < kRounds; ++r) {
            detail::ModelExpBatch(args.data(), out.data(), args.size());
            benchmark::DoNotOptimize(out.data());
        }
        const std::chrono::duration<double> spent = Clock::now() - floorBegin;
        bestExp = std::min(bestExp, spent.count() / (kRounds * double(args.size())));
        state.ResumeTiming();
    }
    state.counters["exps"] = exps;
    state.counters["best_us"] = best * 1e6;
    state.counters["floor_us"] = exps * bestExp * 1e6;
    state.counters["x_floor"] = best / (exps * bestExp);
}

} // namespace tamrisk::bench
