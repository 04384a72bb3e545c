// SPDX-License-Identifier: GPL-3.0-or-later
// First: the emulation defines the vector types itself.
#include "support/EmulatedAvx512.h"

#include "lanes/Forms.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace tamrisk {
namespace {

std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

// Random bit patterns (every class of float, NaNs included) and the values
// that divisions meet at their edges, over lengths that leave every tail.
TEST(RatioColumn, EveryFormGivesTheScalarBits)
{
    std::mt19937 random(7);
    const float special[] = {0.0f,
                             -0.0f,
                             1.0f,
                             std::numeric_limits<float>::infinity(),
                             std::numeric_limits<float>::quiet_NaN(),
                             std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::max()};
    for (const lanes::Forms* form : testing::VectorFormsToCompare()) {
        for (std::size_t count = 0; count < 70; ++count) {
            std::vector<float> num(count), den(count), scalar(count), vector(count);
            for (std::size_t i = 0; i < count; ++i) {
                num[i] = random() % 4 == 0 ? special[random() % 7] : std::bit_cast<float>(std::uint32_t(random()));
                den[i] = random() % 4 == 0 ? special[random() % 7] : std::bit_cast<float>(std::uint32_t(random()));
            }
            lanes::scalar::kForms.ratioColumn(num.data(), den.data(), scalar.data(), count);
            form->ratioColumn(num.data(), den.data(), vector.data(), count);
            for (std::size_t i = 0; i < count; ++i)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(vector[i]), std::bit_cast<std::uint32_t>(scalar[i]))
                    << form->name << ": " << num[i] << " / " << den[i];
        }
    }
}

// Random bit patterns (every class of float) over lengths that leave every
// tail: every form gives the scalar bits, and with no offset the quotient is
// the plain value / scale the axes use.
TEST(PixelQuotients, EveryFormGivesTheScalarBits)
{
    std::mt19937 random(11);
    const std::vector<const lanes::Forms*> forms = testing::VectorFormsToCompare();
    for (std::size_t count = 0; count < 40; ++count) {
        std::vector<float> values(count);
        for (float& v : values)
            v = random() % 5 == 0 ? -0.0f : std::bit_cast<float>(std::uint32_t(random()));
        for (const double offset : {0.0, -3.5e-3, 1e30}) {
            for (const double scale : {0.0025, 3e-41, -7.0}) {
                for (const bool negate : {false, true}) {
                    std::vector<double> scalar(count), wide(count);
                    lanes::scalar::kForms.pixelQuotients(values.data(), count, offset, scale, negate, scalar.data());
                    for (std::size_t i = 0; i < count; ++i) {
                        const double q = (double(values[i]) - offset) / scale;
                        ASSERT_EQ(Bits(scalar[i]), Bits(negate ? -q : q)) << values[i];
                        if (offset == 0.0 && !negate) {
                            ASSERT_EQ(Bits(scalar[i]), Bits(double(values[i]) / scale)) << values[i];
                        }
                    }
                    for (const lanes::Forms* form : forms) {
                        form->pixelQuotients(values.data(), count, offset, scale, negate, wide.data());
                        for (std::size_t i = 0; i < count; ++i)
                            ASSERT_EQ(Bits(wide[i]), Bits(scalar[i])) << form->name << ": " << values[i];
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace tamrisk
