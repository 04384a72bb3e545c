// SPDX-License-Identifier: GPL-3.0-or-later
// The scan's model alone, per grid point, on one and two threads, beside its
// floor: the exponentials it computes (the lanes', and each extinction's
// attenuations), timed at the vector rate of ModelExpBatch in the same run.
#include "VectorExpFloor.h"
#include "lanes/ModelExp.h"
#include "model/ReadParameters.h"
#include "scan/ScanGrid.h"
#include "scan/ScanPointModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace tamrisk;

struct GridRows {
    std::vector<float> extinctions;
    std::vector<float> evalTimes;
};

GridRows DefaultGrid(int steps)
{
    ScanGrid grid;
    GridRows rows;
    for (int k = 0; k <= steps; ++k) {
        rows.extinctions.push_back(float(AxisValue(grid.extinction.start, grid.extinction.end, steps, k, true)));
        rows.evalTimes.push_back(float(AxisValue(grid.evalTime.start, grid.evalTime.end, steps, k, true)));
    }
    return rows;
}

// Rows first, first + stride, ...; returns the exponentials computed: those
// of the lanes and each extinction's attenuations, one per depth sample.
std::size_t RunRows(const ModelParameters& params, const GridRows& rows, std::size_t first, std::size_t stride)
{
    ScanPointModel model(params);
    std::vector<ScanTotals> totals(rows.evalTimes.size());
    std::size_t attenuations = 0;
    for (std::size_t i = first; i < rows.extinctions.size(); i += stride) {
        model.SetExtinction(rows.extinctions[i]);
        attenuations += std::size_t(params.depthPoints);
        model.Totals(rows.evalTimes.data(), totals.data(), totals.size());
        benchmark::DoNotOptimize(totals.data());
    }
    return model.EvaluatedSamples() + attenuations;
}

// args: steps per axis, threads. The model and its floor are timed in turn,
// each iteration, and the best of each is kept: a noisy neighbour on a
// shared machine then moves both figures rather than their ratio.
void BM_ScanModel(benchmark::State& state)
{
    const GridRows rows = DefaultGrid(int(state.range(0)));
    const auto threads = std::size_t(state.range(1));
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters({}, params, flags);
    std::size_t exps = 0;
    double bestModel = 1e9;
    double bestExp = 1e9;
    for (auto _ : state) {
        const auto begin = std::chrono::steady_clock::now();
        std::vector<std::size_t> counts(threads);
        std::vector<std::thread> helpers;
        for (std::size_t t = 1; t < threads; ++t)
            helpers.emplace_back([&, t] { counts[t] = RunRows(params, rows, t, threads); });
        counts[0] = RunRows(params, rows, 0, threads);
        for (std::thread& h : helpers)
            h.join();
        const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - begin;
        bestModel = std::min(bestModel, spent.count());
        exps = 0;
        for (std::size_t c : counts)
            exps += c;
        state.PauseTiming();
        bestExp = std::min(bestExp, bench::VectorExpSeconds());
        state.ResumeTiming();
    }
    const double points = double(rows.extinctions.size() * rows.evalTimes.size());
    const double expsPerPoint = double(exps) / points;
    // The floor on this many threads: the same exponentials at the vector rate, shared out.
    const double floor = expsPerPoint * bestExp / double(threads);
    state.counters["ns_per_point"] = bestModel / points * 1e9;
    state.counters["exps_per_point"] = expsPerPoint;
    state.counters["floor_ns_per_point"] = floor * 1e9;
    state.counters["x_floor"] = bestModel / points / floor;
}
BENCHMARK(BM_ScanModel)->Args({200, 1})->Args({200, 2})->UseRealTime()->MinTime(2.0)->Unit(benchmark::kMillisecond);

void BM_VectorExp(benchmark::State& state)
{
    std::vector<double> args(4096);
    for (std::size_t i = 0; i < args.size(); ++i)
        args[i] = -20.0 * double(i) / double(args.size());
    std::vector<double> out(args.size());
    for (auto _ : state) {
        detail::ModelExpBatch(args.data(), out.data(), args.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["ns_per_exp"] = benchmark::Counter(
        double(args.size()) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_VectorExp);

} // namespace
