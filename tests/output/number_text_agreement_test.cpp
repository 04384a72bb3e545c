// SPDX-License-Identifier: GPL-3.0-or-later
#include "NumberTextReference.h"
#include "output/NumberText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <string_view>

namespace tamrisk::testing {
namespace {

void ExpectSameTexts(double value, int& mismatches)
{
    if (mismatches > 20)
        return; // enough to see what goes wrong
    for (int digits = 3; digits <= 6; ++digits) {
        const std::string fast = FormatGeneral(value, digits);
        const std::string reference = ReferenceFormatGeneral(value, digits);
        if (fast != reference) {
            ++mismatches;
            ADD_FAILURE() << std::hexfloat << value << " with " << digits << " digits: " << fast << " instead of "
                          << reference;
        }
    }
    const std::string cell = FormatCell(value);
    const std::string referenceCell = ReferenceFormatCell(value);
    char written[kFormatCellCapacity];
    const std::string_view direct(written, std::size_t(WriteFormatCell(written, value) - written));
    if (cell != referenceCell || direct != referenceCell) {
        ++mismatches;
        ADD_FAILURE() << std::hexfloat << value << ": cell " << cell << " instead of " << referenceCell;
    }
}

// Every float pattern at a stride, with the neighbours of each, and as many
// random doubles: the integer digits agree with the exact expansion.
TEST(NumberTextAgreement, FloatsAndDoublesAsTheExactExpansion)
{
    int mismatches = 0;
    for (std::uint64_t bits = 0; bits < (1ull << 32); bits += 7919 * 61) {
        for (std::uint32_t near = 0; near < 3; ++near) {
            ExpectSameTexts(double(std::bit_cast<float>(std::uint32_t(bits) + near)), mismatches);
        }
    }
    std::mt19937_64 random(7);
    for (int n = 0; n < 100000; ++n) {
        ExpectSameTexts(std::bit_cast<double>(random()), mismatches);
        ExpectSameTexts(std::ldexp(double(random() >> 11), int(random() % 160) - 120), mismatches);
    }
    EXPECT_EQ(mismatches, 0);
}

// Exact decimal halves at 3 to 6 digits (found from the exact expansion,
// among binary fractions m / 2^k whose expansions are short) and the values
// right next to them.
TEST(NumberTextAgreement, ExactHalvesAndTheirNeighbours)
{
    int mismatches = 0;
    int halves = 0;
    std::mt19937_64 random(11);
    char text[900];
    for (int n = 0; n < 400000; ++n) {
        const int k = int(random() % 24);
        const double value = std::ldexp(double(random() % 20000000 + 1), -k) * ((n & 1) ? 1.0 : -1.0);
        const auto end =
            std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 800).ptr;
        std::string mantissa(text, std::find(text, end, 'e'));
        mantissa.erase(1, 1);
        mantissa.erase(mantissa.find_last_not_of('0') + 1);
        const bool half = mantissa.size() >= 4 && mantissa.size() <= 7 && mantissa.back() == '5';
        if (!half && n % 16 != 0)
            continue;
        halves += half;
        ExpectSameTexts(value, mismatches);
        ExpectSameTexts(std::nextafter(value, 0.0), mismatches);
        ExpectSameTexts(std::nextafter(value, 2 * value), mismatches);
    }
    // Halves of integers, n + 0.5 with 3 to 6 digits in n, scaled by powers of two.
    for (int n = 100; n < 1000000; n += 37) {
        for (int k = 0; k < 3; ++k) {
            ExpectSameTexts(std::ldexp(n + 0.5, -k), mismatches);
        }
        ++halves;
    }
    EXPECT_GT(halves, 30000);
    EXPECT_EQ(mismatches, 0);
}

// Powers of ten and the doubles and floats around them decide the notation.
TEST(NumberTextAgreement, AroundPowersOfTen)
{
    int mismatches = 0;
    for (int e = -40; e <= 40; ++e) {
        const double power = std::pow(10.0, e);
        for (double v : {power, double(float(power))}) {
            double below = v;
            double above = v;
            for (int step = 0; step < 4; ++step) {
                ExpectSameTexts(below, mismatches);
                ExpectSameTexts(above, mismatches);
                below = std::nextafter(below, 0.0);
                above = std::nextafter(above, 1e300);
                ExpectSameTexts(double(std::nextafter(float(v), 0.0f)), mismatches);
                ExpectSameTexts(double(std::nextafter(float(v), 1e30f)), mismatches);
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace tamrisk::testing
