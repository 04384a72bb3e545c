#include "model/ParseText.h"
#include "model/ShortestText.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>

namespace tamrisk {
namespace {

TEST(ShortestText, Examples)
{
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const std::pair<double, const char*> cases[] = {
        {0.1, "0.1"},       {double(0.1f), "0.10000000149011612"},
        {1e39, "1e+39"},    {-0.0, "-0"},
        {100000.0, "1e+05"}, {12345.0, "12345"},
        {kInf, "inf"},      {-kInf, "-inf"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(ShortestText(value), text);
    EXPECT_EQ(ShortestText(std::numeric_limits<double>::quiet_NaN()), "nan");
}

// Every text reads back, as an option or a record does, to the same double.
TEST(ShortestText, ReadsBackToTheSameBits)
{
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::bit_cast<double>(random());
        if (value != value)
            continue;
        const std::optional<double> back = ParseStrictNumber(ShortestText(value));
        ASSERT_TRUE(back) << ShortestText(value);
        ASSERT_EQ(std::bit_cast<std::uint64_t>(*back), std::bit_cast<std::uint64_t>(value)) << ShortestText(value);
    }
}

} // namespace
} // namespace tamrisk
