#include "plot/PixelQuotients.h"

#include "model/ModelExp.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tamrisk {
namespace {

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// Random bit patterns (every class of float) over lengths that leave every
// tail: the vector form gives the scalar bits, and with no offset the
// quotient is the plain value / scale the axes use.
TEST(PixelQuotients, VectorFormGivesTheScalarBits)
{
    std::mt19937 random(11);
    const bool vector = detail::LaneKernelAvailable(detail::LaneKernel::Avx2);
    for (std::size_t count = 0; count < 40; ++count) {
        std::vector<float> values(count);
        for (float& v : values)
            v = random() % 5 == 0 ? -0.0f : std::bit_cast<float>(std::uint32_t(random()));
        for (const double offset : {0.0, -3.5e-3, 1e30}) {
            for (const double scale : {0.0025, 3e-41, -7.0}) {
                for (const bool negate : {false, true}) {
                    std::vector<double> scalar(count), wide(count);
                    detail::PixelQuotientsScalar(values.data(), count, offset, scale, negate, scalar.data());
                    if (vector)
                        detail::PixelQuotientsAvx2(values.data(), count, offset, scale, negate, wide.data());
                    for (std::size_t i = 0; i < count; ++i) {
                        if (vector) {
                            ASSERT_EQ(Bits(wide[i]), Bits(scalar[i])) << values[i];
                        }
                        if (offset == 0.0 && !negate) {
                            ASSERT_EQ(Bits(scalar[i]), Bits(double(values[i]) / scale)) << values[i];
                        }
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace tamrisk
