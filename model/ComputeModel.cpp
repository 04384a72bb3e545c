// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ComputeModel.h"

#include "model/ArraySet.h"
#include "model/ModelFill.h"
#include "model/ProfileArrays.h"

#include <array>
#include <cstddef>
#include <vector>

namespace tamrisk {

namespace {

// The arrays of a result, as its table lists them.
template <typename Result, typename Row, std::size_t N>
std::array<std::vector<float>*, N> ArraysOf(Result& result, const std::array<Row, N>& table)
{
    std::array<std::vector<float>*, N> arrays{};
    for (std::size_t i = 0; i < N; ++i)
        arrays[i] = &(result.*table[i].values);
    return arrays;
}

std::size_t SampleCount(int points) { return points > 0 ? static_cast<std::size_t>(points) : 0; }

} // namespace

void ComputeModel(const ModelParameters& params, const DisplayFlags& flags, DepthProfile& profile, SignalCurves& curves)
{
    detail::ArraySet profileArrays(ArraysOf(profile, kProfileArrays), SampleCount(params.depthPoints));
    detail::ArraySet curveArrays(ArraysOf(curves, kSignalArrays), SampleCount(params.timePoints));
    profileArrays.commit();
    curveArrays.commit();

    detail::FillDepthProfile(params, profile);
    detail::FillSignalCurves(params, flags, profile, curves);
}

void ComputeDepthProfile(const ModelParameters& params, DepthProfile& profile)
{
    detail::ArraySet profileArrays(ArraysOf(profile, kProfileArrays), SampleCount(params.depthPoints));
    profileArrays.commit();
    detail::FillDepthProfile(params, profile);
}

} // namespace tamrisk
