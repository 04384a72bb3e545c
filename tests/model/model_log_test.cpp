// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ModelLog.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

namespace {

// Within one ulp of the extended-precision logarithm, over positive doubles
// of every magnitude (subnormals included).
TEST(ModelLog, WithinOneUlp)
{
    std::mt19937_64 random(17);
    for (int n = 0; n < 1'000'000; ++n) {
        const double x = std::bit_cast<double>(random() >> 1);
        if (!std::isfinite(x) || x == 0.0)
            continue;
        const long double exact = std::log(static_cast<long double>(x));
        const double result = ModelLog(x);
        const long double ulp = std::nextafter(std::fabs(double(exact)), 1e300) - std::fabs(double(exact));
        ASSERT_LE(std::fabs(static_cast<long double>(result) - exact), ulp) << std::hexfloat << x;
    }
}

TEST(ModelLog, ExactPointsAndEdges)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(ModelLog(1.0), 0.0);
    EXPECT_EQ(ModelLog(2.0), 0x1.62e42fefa39efp-1);
    EXPECT_EQ(ModelLog(10000.0), 0x1.26bb1bbb55516p+3);
    EXPECT_EQ(ModelLog(0.0), -kInf);
    EXPECT_EQ(ModelLog(kInf), kInf);
    EXPECT_TRUE(std::isnan(ModelLog(-1.0)));
    EXPECT_TRUE(std::isnan(ModelLog(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(ModelLog(0x1p-1074), -0x1.74385446d71c3p+9);
}

} // namespace
