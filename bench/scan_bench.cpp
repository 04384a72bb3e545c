// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ComputeModel.h"
#include "model/ModelFormulas.h"
#include "model/ReadParameters.h"
#include "scan/ScanRun.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace tamrisk;

// Counts the bytes and drops them: the scan's cost without the disk.
class NullSink final : public ByteSink {
public:
    void Write(std::string_view bytes) override { size_ += bytes.size(); }
    std::size_t size_ = 0;
};

// Reported per grid point: "ns_per_point".
void SetPointCounter(benchmark::State& state, double points)
{
    state.counters["ns_per_point"] =
        benchmark::Counter(points * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// args: steps per axis, threads
void BM_Scan(benchmark::State& state)
{
    ScanGrid grid;
    grid.extinction.steps = int(state.range(0));
    grid.evalTime.steps = int(state.range(0));
    const int threads = int(state.range(1));
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters({}, params, flags);
    DepthProfile profile;
    SignalCurves curves;
    for (auto _ : state) {
        NullSink sink;
        ScanToFile(grid, params, flags, profile, curves, sink, {}, threads);
        benchmark::DoNotOptimize(sink.size_);
    }
    const double points = double(state.range(0) + 1) * double(state.range(0) + 1);
    SetPointCounter(state, points);
}
BENCHMARK(BM_Scan)->Args({20, 1})->Args({20, 2})->Args({200, 1})->Args({200, 2})->UseRealTime()->Unit(
    benchmark::kMillisecond);

// The floor: a grid point needs one exponential per depth sample (the OSL
// fraction); everything else is shared between points of the scan.
void BM_ExpFloorPerPoint(benchmark::State& state)
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters({}, params, flags);
    std::vector<double> attenuation(std::size_t(params.depthPoints));
    const float depthStep = float((double(params.bottom) - double(params.top)) / params.depthPoints);
    for (std::size_t i = 0; i < attenuation.size(); ++i)
        attenuation[i] = detail::Attenuation(float(double(i) * double(depthStep)), params.extinction);
    float evalTime = 1.0f;
    for (auto _ : state) {
        double sum = 0.0;
        for (double a : attenuation)
            sum += std::exp(double(-params.rate1) * double(evalTime) * a);
        benchmark::DoNotOptimize(sum);
        evalTime = evalTime < 1e5f ? evalTime * 1.5f : 1.0f;
    }
    SetPointCounter(state, 1.0);
}
BENCHMARK(BM_ExpFloorPerPoint);

// What a grid point costs when run as a full model run.
void BM_ComputeModelPerPoint(benchmark::State& state)
{
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters({}, params, flags);
    DepthProfile profile;
    SignalCurves curves;
    for (auto _ : state) {
        ComputeModel(params, flags, profile, curves);
        benchmark::DoNotOptimize(profile.effLabTotal);
    }
    SetPointCounter(state, 1.0);
}
BENCHMARK(BM_ComputeModelPerPoint);

// 2^31 extinction values without evaluation times: a grid without points,
// which the scan must find empty at once instead of passing over every value.
void BM_ScanGridWithoutPoints(benchmark::State& state)
{
    const ScanGrid grid{{1.0f, 2.0f, 2147483647, false}, {1.0f, 2.0f, -1, false}};
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters({}, params, flags);
    DepthProfile profile;
    SignalCurves curves;
    for (auto _ : state) {
        NullSink sink;
        ScanToFile(grid, params, flags, profile, curves, sink, {}, 2);
        benchmark::DoNotOptimize(sink.size_);
    }
}
BENCHMARK(BM_ScanGridWithoutPoints)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
