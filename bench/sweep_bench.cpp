#include "scan/SweepRows.h"

#include <benchmark/benchmark.h>

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

void RunSweep(benchmark::State& state, const SweepPlan& plan)
{
    const std::int64_t points = SweepPointCount(plan);
    SweepHooks hooks;
    hooks.threads = int(state.range(0));
    for (auto _ : state) {
        CountingSink sink;
        WriteSweepRows(plan, Inputs{}, TableFormat::Csv, {0, points}, sink, hooks);
        benchmark::DoNotOptimize(sink.size);
    }
    state.counters["ns_per_point"] = benchmark::Counter(
        double(points) * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// 10^6 points over four axes, the evaluation time innermost: the scan's point
// model serves each outer point's 100 rows. arg: threads
void BM_Sweep4AxesMillion(benchmark::State& state)
{
    RunSweep(state, Plan({"dose-rate=0:2:9", "rate1=0.01:1:9:log", "extinction=0.1:100:99:log",
                          "eval-time=1:10000:99:log"}));
}
BENCHMARK(BM_Sweep4AxesMillion)->Arg(1)->Arg(2)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Another input innermost: a whole depth profile per point. 10^4 points.
void BM_Sweep4AxesPointByPoint(benchmark::State& state)
{
    RunSweep(state, Plan({"extinction=0.1:100:9:log", "eval-time=1:10000:9:log", "transparency-correction=0,1",
                          "dose-rate=0:2:49"}));
}
BENCHMARK(BM_Sweep4AxesPointByPoint)->Arg(1)->Arg(2)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
