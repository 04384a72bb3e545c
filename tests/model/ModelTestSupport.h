#pragma once

#include "model/ComputeModel.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tamrisk::testing {

// Bitwise equality, except that any NaN matches any NaN: the sign of a NaN
// that propagates through a product depends on the compiler's operand order.
inline bool SameBits(float a, float b)
{
    return std::bit_cast<std::uint32_t>(a) == std::bit_cast<std::uint32_t>(b) || (std::isnan(a) && std::isnan(b));
}

inline ::testing::AssertionResult SameBits(const std::vector<float>& actual, const std::vector<float>& expected)
{
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure() << "size " << actual.size() << " vs " << expected.size();
    }
    for (std::size_t i = 0; i < actual.size(); ++i) {
        if (!SameBits(actual[i], expected[i])) {
            return ::testing::AssertionFailure() << "at " << i << ": " << actual[i] << " vs " << expected[i];
        }
    }
    return ::testing::AssertionSuccess();
}

inline void ExpectSameProfile(const DepthProfile& a, const DepthProfile& b)
{
    using Array = std::vector<float> DepthProfile::*;
    const std::pair<Array, const char*> arrays[] = {
        {&DepthProfile::intensity, "intensity"},         {&DepthProfile::oslContribution, "oslContribution"},
        {&DepthProfile::labDose, "labDose"},             {&DepthProfile::natDoseRate, "natDoseRate"},
        {&DepthProfile::ratio, "ratio"},                 {&DepthProfile::intLabDose, "intLabDose"},
        {&DepthProfile::intNatDoseRate, "intNatDoseRate"}, {&DepthProfile::intRatio, "intRatio"},
        {&DepthProfile::effLabDose, "effLabDose"},       {&DepthProfile::effNatDoseRate, "effNatDoseRate"},
        {&DepthProfile::effRatio, "effRatio"},           {&DepthProfile::effIntLabDose, "effIntLabDose"},
        {&DepthProfile::effIntNatDoseRate, "effIntNatDoseRate"}, {&DepthProfile::effIntRatio, "effIntRatio"}};
    for (const auto& [array, name] : arrays) {
        EXPECT_TRUE(SameBits(a.*array, b.*array)) << name;
    }
    EXPECT_TRUE(SameBits(a.effLabTotal, b.effLabTotal)) << "effLabTotal";
    EXPECT_TRUE(SameBits(a.effNatTotal, b.effNatTotal)) << "effNatTotal";
}

inline void ExpectSameCurves(const SignalCurves& a, const SignalCurves& b)
{
    EXPECT_TRUE(SameBits(a.totalSignalLab, b.totalSignalLab)) << "totalSignalLab";
    EXPECT_TRUE(SameBits(a.totalSignalNat, b.totalSignalNat)) << "totalSignalNat";
    EXPECT_TRUE(SameBits(a.totalSignalHomogeneous, b.totalSignalHomogeneous)) << "totalSignalHomogeneous";
    EXPECT_TRUE(SameBits(a.signalAtDepth, b.signalAtDepth)) << "signalAtDepth";
    EXPECT_EQ(a.summedComputed, b.summedComputed);
    EXPECT_EQ(a.signalAtDepthComputed, b.signalAtDepthComputed);
}

inline DisplayFlags AllSignalFlags()
{
    DisplayFlags flags;
    flags.showSignalAtDepth = true;
    flags.showTotalSignalHomogeneous = true;
    flags.showTotalSignalNat = true;
    flags.showTotalSignalLab = true;
    return flags;
}

// Parameters with the dialog's start values and their derived fields.
inline ModelParameters DefaultParameters()
{
    ModelParameters params;
    DeriveFromExtinction(params);
    return params;
}

} // namespace tamrisk::testing
