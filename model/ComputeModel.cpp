#include "model/ComputeModel.h"

#include "model/ArraySet.h"
#include "model/ModelFill.h"

#include <array>
#include <cstddef>
#include <vector>

namespace tamrisk {

namespace {

using FloatArray = std::vector<float>;

std::array<FloatArray*, 14> ArraysOf(DepthProfile& p)
{
    return {&p.intensity,    &p.oslContribution, &p.labDose,           &p.natDoseRate, &p.ratio,
            &p.intLabDose,   &p.intNatDoseRate,  &p.intRatio,          &p.effLabDose,  &p.effNatDoseRate,
            &p.effRatio,     &p.effIntLabDose,   &p.effIntNatDoseRate, &p.effIntRatio};
}

std::array<FloatArray*, 4> ArraysOf(SignalCurves& c)
{
    return {&c.totalSignalLab, &c.totalSignalNat, &c.totalSignalHomogeneous, &c.signalAtDepth};
}

std::size_t SampleCount(int points)
{
    return points > 0 ? static_cast<std::size_t>(points) : 0;
}

} // namespace

void ComputeModel(const ModelParameters& params, const DisplayFlags& flags, DepthProfile& profile,
                  SignalCurves& curves)
{
    detail::ArraySet profileArrays(ArraysOf(profile), SampleCount(params.depthPoints));
    detail::ArraySet curveArrays(ArraysOf(curves), SampleCount(params.timePoints));
    profileArrays.commit();
    curveArrays.commit();

    detail::FillDepthProfile(params, profile);
    detail::FillSignalCurves(params, flags, profile, curves);
}

void ComputeDepthProfile(const ModelParameters& params, DepthProfile& profile)
{
    detail::ArraySet profileArrays(ArraysOf(profile), SampleCount(params.depthPoints));
    profileArrays.commit();
    detail::FillDepthProfile(params, profile);
}

} // namespace tamrisk
