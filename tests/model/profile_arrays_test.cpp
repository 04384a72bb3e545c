// The model sizes and fills the arrays its tables list.
#include "model/ComputeModel.h"
#include "model/ProfileArrays.h"

#include <gtest/gtest.h>

#include <string>

namespace tamrisk {
namespace {

TEST(ProfileArrays, ComputeModelSizesEveryArrayOfTheTables)
{
    DepthProfile profile;
    SignalCurves curves;
    DisplayFlags flags;
    flags.showSignalAtDepth = flags.showTotalSignalNat = true;
    for (const auto& [depthPoints, timePoints] : {std::pair{37, 5}, std::pair{3, 11}, std::pair{0, -2}}) {
        ModelParameters params;
        params.depthPoints = depthPoints;
        params.timePoints = timePoints;
        ComputeModel(params, flags, profile, curves);
        for (const ProfileArrayRow& row : kProfileArrays)
            EXPECT_EQ((profile.*row.values).size(), std::size_t(depthPoints)) << row.column;
        for (const SignalArrayRow& row : kSignalArrays)
            EXPECT_EQ((curves.*row.values).size(), std::size_t(std::max(timePoints, 0))) << row.column;
    }
}

// Each ratio column divides the lab array of its kind by the natural one:
// "eff_int_ratio" is eff_int_lab_dose over eff_int_nat_dose_rate.
TEST(ProfileArrays, RatioColumnsDivideTheirOwnKindOfArrays)
{
    const auto columnOf = [](std::vector<float> DepthProfile::*values) -> std::string {
        return kProfileArrays[std::size_t(ProfileArrayIndex(values))].column;
    };
    int ratios = 0;
    for (const ProfileArrayRow& row : kProfileArrays) {
        const std::string column = row.column;
        const bool isRatio = column.ends_with("ratio");
        ASSERT_EQ(row.ratioOfLab != nullptr, isRatio) << column;
        ASSERT_EQ(row.ratioOfNat != nullptr, isRatio) << column;
        if (!isRatio)
            continue;
        ++ratios;
        const std::string kind = column.substr(0, column.size() - 5);
        EXPECT_EQ(columnOf(row.ratioOfLab), kind + "lab_dose");
        EXPECT_EQ(columnOf(row.ratioOfNat), kind + "nat_dose_rate");
    }
    EXPECT_EQ(ratios, 4);

    ModelParameters params;
    params.depthPoints = 9;
    params.externalDoseRate = 0.5f;
    DepthProfile profile;
    ComputeDepthProfile(params, profile);
    for (const ProfileArrayRow& row : kProfileArrays) {
        if (row.ratioOfLab == nullptr)
            continue;
        for (std::size_t i = 0; i < 9; ++i) {
            const float expected = float(double((profile.*row.ratioOfLab)[i]) / double((profile.*row.ratioOfNat)[i]));
            EXPECT_EQ((profile.*row.values)[i], expected) << row.column << " at " << i;
        }
    }
}

} // namespace
} // namespace tamrisk
