// SPDX-License-Identifier: GPL-3.0-or-later
// Cost of one model run beside its floor: the exponentials the run needs,
// at the vector rate of ModelExpBatch.
// "Formula" floors count the exponentials as the formulas are written (two
// per DecaySignal, four per depth sample); "Shared" floors count the ones the
// implementation actually evaluates after reusing exp(-mu z).

#include "VectorExpFloor.h"
#include "model/CurveTable.h"
#include "model/ComputeModel.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

using namespace tamrisk;

enum class Config { DepthOnly, AllFlags, AllFlagsStep1 };

ModelParameters ParamsFor(Config config)
{
    ModelParameters params;
    DeriveFromExtinction(params);
    if (config == Config::AllFlagsStep1) {
        params.curveStep = 1;
    }
    return params;
}

DisplayFlags FlagsFor(Config config)
{
    DisplayFlags flags;
    if (config != Config::DepthOnly)
        for (const CurveRow& curve : kCurves)
            if (curve.plot == PlotKind::Signal)
                flags.*curve.flag = true;
    return flags;
}

std::vector<double> ExpArguments(Config config, bool asWritten);

void BM_ComputeModel(benchmark::State& state, Config config)
{
    const ModelParameters params = ParamsFor(config);
    const DisplayFlags flags = FlagsFor(config);
    DepthProfile profile;
    SignalCurves curves;
    bench::RunBesideFloor(state, double(ExpArguments(config, false).size()), [&] {
        ComputeModel(params, flags, profile, curves);
        benchmark::DoNotOptimize(profile.effLabTotal);
        benchmark::DoNotOptimize(curves.totalSignalLab.data());
        benchmark::ClobberMemory();
    });
}
BENCHMARK_CAPTURE(BM_ComputeModel, DepthOnly, Config::DepthOnly);
BENCHMARK_CAPTURE(BM_ComputeModel, AllFlags, Config::AllFlags);
BENCHMARK_CAPTURE(BM_ComputeModel, AllFlagsStep1, Config::AllFlagsStep1);

void BM_ComputeDepthProfile(benchmark::State& state)
{
    const ModelParameters params = ParamsFor(Config::DepthOnly);
    DepthProfile profile;
    for (auto _ : state) {
        ComputeDepthProfile(params, profile);
        benchmark::DoNotOptimize(profile.effLabTotal);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeDepthProfile);

// The arguments of the run's exponentials with the default parameters.
std::vector<double> ExpArguments(Config config, bool asWritten)
{
    const ModelParameters p = ParamsFor(config);
    const DisplayFlags flags = FlagsFor(config);
    const double mu = p.extinction;
    const double r = p.rate1;
    const double depthStep = float(double(p.bottom - p.top) / p.depthPoints);
    const double timeStep = float(double(p.timeMax) / p.timePoints);
    std::vector<double> args;
    for (int i = 0; i < p.depthPoints; ++i) {
        const double z = float(i * depthStep);
        args.push_back(-mu * z);
        if (asWritten) {
            args.push_back(-mu * z);
        }
        args.push_back(-r * p.evalTime * std::exp(-mu * z));
        args.push_back(-double(p.betaAttenuation) * z);
    }
    const int perTime = asWritten ? 1 : 0;
    if (flags.showSignalAtDepth) {
        const double I = std::exp(-mu * p.signalDepth);
        if (!asWritten) {
            args.push_back(-mu * p.signalDepth);
        }
        for (int k = 0; k < p.timePoints; ++k) {
            for (int e = 0; e < perTime; ++e) {
                args.push_back(-mu * p.signalDepth);
            }
            args.push_back(-r * I * float(k * timeStep));
        }
    }
    if (flags.anySummedSignal()) {
        const int n = p.depthPoints / p.curveStep;
        for (int j = 0; j < n; ++j) {
            const double z = float(j * p.curveStep * depthStep);
            const double I = std::exp(-mu * z);
            if (!asWritten) {
                args.push_back(-mu * z);
            }
            for (int k = 0; k < p.timePoints; ++k) {
                for (int e = 0; e < perTime; ++e) {
                    args.push_back(-mu * z);
                }
                args.push_back(-r * I * float(k * timeStep));
            }
        }
    }
    return args;
}

void BM_ExpFloor(benchmark::State& state, Config config, bool asWritten)
{
    const std::vector<double> args = ExpArguments(config, asWritten);
    std::vector<double> out(args.size());
    for (auto _ : state) {
        detail::ModelExpBatch(args.data(), out.data(), args.size());
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["exps"] = double(args.size());
}
BENCHMARK_CAPTURE(BM_ExpFloor, DepthOnly_Formula, Config::DepthOnly, true);
BENCHMARK_CAPTURE(BM_ExpFloor, DepthOnly_Shared, Config::DepthOnly, false);
BENCHMARK_CAPTURE(BM_ExpFloor, AllFlags_Formula, Config::AllFlags, true);
BENCHMARK_CAPTURE(BM_ExpFloor, AllFlags_Shared, Config::AllFlags, false);
BENCHMARK_CAPTURE(BM_ExpFloor, AllFlagsStep1_Formula, Config::AllFlagsStep1, true);
BENCHMARK_CAPTURE(BM_ExpFloor, AllFlagsStep1_Shared, Config::AllFlagsStep1, false);

} // namespace
