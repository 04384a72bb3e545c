// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/NumberText.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// Single-precision values over the decades a scan writes, widened as the
// files do it.
std::vector<double> CellValues()
{
    std::mt19937 random(1);
    std::uniform_real_distribution<double> decade(-8.0, 6.0);
    std::vector<double> values(4096);
    for (double& v : values) {
        v = static_cast<float>(std::pow(10.0, decade(random)));
    }
    return values;
}

void BM_FormatCell(benchmark::State& state)
{
    const std::vector<double> values = CellValues();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamrisk::FormatCell(values[i++ & 4095]));
    }
}
BENCHMARK(BM_FormatCell);

void BM_FormatGeneralExactHalf(benchmark::State& state)
{
    for (auto _ : state) {
        benchmark::DoNotOptimize(tamrisk::FormatGeneral(1234565.0, 6));
    }
}
BENCHMARK(BM_FormatGeneralExactHalf);

} // namespace
