// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ProfileArrays.h"

#include <gtest/gtest.h>

#include <string>

namespace tamrisk {
namespace {

// Each ratio column divides the lab array of its own kind by the natural one:
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
}

} // namespace
} // namespace tamrisk
