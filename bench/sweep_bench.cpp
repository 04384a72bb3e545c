// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ReadParameters.h"
#include "scan/ScanRun.h"
#include "scan/SweepRows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

using namespace tamrisk;

class CountingSink final : public ByteSink {
public:
    void Write(std::string_view bytes) override { size += bytes.size(); }
    std::size_t size = 0;
};

SweepPlan Plan(const std::vector<std::string>& vary)
{
    SweepPlan plan;
    for (const std::string& text : vary) {
        SweepAxis axis;
        ParseSweepAxis(text, axis);
        plan.axes.push_back(axis);
    }
    return plan;
}

// Seconds of one whole sweep table on `threads` threads.
double SweepSeconds(const SweepPlan& plan, int threads)
{
    SweepHooks hooks;
    hooks.threads = threads;
    CountingSink sink;
    const auto begin = std::chrono::steady_clock::now();
    WriteSweepRows(plan, Inputs{}, TableFormat::Csv, {0, SweepPointCount(plan)}, sink, hooks);
    benchmark::DoNotOptimize(sink.size);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

void RunSweep(benchmark::State& state, const SweepPlan& plan)
{
    const std::int64_t points = SweepPointCount(plan);
    for (auto _ : state)
        SweepSeconds(plan, int(state.range(0)));
    state.counters["ns_per_point"] = benchmark::Counter(
        double(points) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// 10^6 points over four axes, the evaluation time innermost: the scan's point
// model serves each outer point's 100 rows in vector lanes. arg: threads
void BM_Sweep4AxesMillion(benchmark::State& state)
{
    RunSweep(state,
             Plan({"dose-rate=0:2:9", "rate1=0.01:1:9:log", "extinction=0.1:100:99:log", "eval-time=1:10000:99:log"}));
}
BENCHMARK(BM_Sweep4AxesMillion)->Arg(1)->Arg(2)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Another input innermost: a whole depth profile per point. 10^4 points.
void BM_Sweep4AxesPointByPoint(benchmark::State& state)
{
    RunSweep(state, Plan({"extinction=0.1:100:9:log", "eval-time=1:10000:9:log", "transparency-correction=0,1",
                          "dose-rate=0:2:49"}));
}
BENCHMARK(BM_Sweep4AxesPointByPoint)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// A sweep with the evaluation time innermost beside a 201 x 201 scan, per
// point, on one thread, in the same run. Arg 0: the scan's own grid, the
// same CSV table. Arg 1: the dose rate as the outer axis, whose every value
// builds the point model anew, beside a scan whose 201 passes all have the
// window's extinction, so that both ask the lanes for the same work. Each is
// timed in turn every iteration and the best of each kept, so that the load
// of other programs moves both rather than their ratio: sweep_x_scan.
void BM_SweepBesideScan(benchmark::State& state)
{
    const SweepPlan plan = state.range(0) == 0 ? Plan({"extinction=1:10000:200:log", "eval-time=1:10000:200:log"})
                                               : Plan({"dose-rate=0:2:200", "eval-time=1:10000:200:log"});
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters({}, params, flags);
    ScanGrid grid;
    grid.extinction.steps = 200;
    grid.evalTime.steps = 200;
    if (state.range(0) == 1)
        grid.extinction = {params.extinction, params.extinction, 200, false};
    DepthProfile profile;
    SignalCurves curves;
    ScanLayout layout;
    layout.format = TableFormat::Csv;
    double bestScan = 1e9;
    double bestSweep = 1e9;
    for (auto _ : state) {
        CountingSink sink;
        const auto begin = std::chrono::steady_clock::now();
        ScanToFile(grid, params, flags, profile, curves, sink, {}, 1, {}, layout);
        bestScan = std::min(bestScan, std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        bestSweep = std::min(bestSweep, SweepSeconds(plan, 1));
    }
    const double points = 201.0 * 201.0;
    state.counters["scan_ns_per_point"] = bestScan / points * 1e9;
    state.counters["sweep_ns_per_point"] = bestSweep / points * 1e9;
    state.counters["sweep_x_scan"] = bestSweep / bestScan;
}
BENCHMARK(BM_SweepBesideScan)->Arg(0)->Arg(1)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
