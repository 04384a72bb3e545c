#include "model/ModelExp.h"
#include "model/RatioColumn.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tamrisk::detail {
namespace {

// Random bit patterns (every class of float, NaNs included) and the values
// that divisions meet at their edges, over lengths that leave every tail.
TEST(RatioColumn, VectorFormGivesTheScalarBits)
{
    if (!LaneKernelAvailable(LaneKernel::Avx2))
        GTEST_SKIP() << "processor lacks AVX2";
    std::mt19937 random(7);
    const float special[] = {0.0f, -0.0f, 1.0f, std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::max()};
    for (std::size_t count = 0; count < 70; ++count) {
        std::vector<float> num(count), den(count), scalar(count), vector(count);
        for (std::size_t i = 0; i < count; ++i) {
            num[i] = random() % 4 == 0 ? special[random() % 7] : std::bit_cast<float>(std::uint32_t(random()));
            den[i] = random() % 4 == 0 ? special[random() % 7] : std::bit_cast<float>(std::uint32_t(random()));
        }
        RatioColumnScalar(num.data(), den.data(), scalar.data(), count);
        RatioColumnAvx2(num.data(), den.data(), vector.data(), count);
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(std::bit_cast<std::uint32_t>(vector[i]), std::bit_cast<std::uint32_t>(scalar[i]))
                << num[i] << " / " << den[i];
    }
}

} // namespace
} // namespace tamrisk::detail
