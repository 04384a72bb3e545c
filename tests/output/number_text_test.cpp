// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/NumberText.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace tamrisk {
namespace {

struct GeneralCase {
    double value;
    int digits;
    const char* expected;
};

class FormatGeneralTable : public testing::TestWithParam<GeneralCase> {};

TEST_P(FormatGeneralTable, GivesExactText)
{
    const GeneralCase& c = GetParam();
    EXPECT_EQ(FormatGeneral(c.value, c.digits), c.expected) << "value " << c.value << " digits " << c.digits;
}

INSTANTIATE_TEST_SUITE_P(SixDigits, FormatGeneralTable,
                         testing::Values(GeneralCase{10, 6, "10."}, GeneralCase{0, 6, "0."}, GeneralCase{0.5, 6, "0.5"},
                                         GeneralCase{0.1, 6, "0.1"}, GeneralCase{std::log(2.0) / 10, 6, "6.93147e-002"},
                                         GeneralCase{std::exp(-10.0), 6, "4.53999e-005"},
                                         GeneralCase{12345, 6, "12345."}, GeneralCase{123456, 6, "123456"},
                                         GeneralCase{1000000, 6, "1.e+006"},
                                         GeneralCase{20 * double{0.005f}, 6, "1.e-001"},
                                         GeneralCase{20 * 0.005f, 6, "1.e-001"}, GeneralCase{0.1f, 6, "0.1"},
                                         GeneralCase{1.5f, 6, "1.5"}, GeneralCase{-2.5, 6, "-2.5"},
                                         GeneralCase{-0.05, 6, "-5.e-002"}, GeneralCase{-123456, 6, "-123456"}));

INSTANTIATE_TEST_SUITE_P(FourAndThreeDigits, FormatGeneralTable,
                         testing::Values(GeneralCase{10, 4, "10."}, GeneralCase{0.06931, 4, "6.931e-002"},
                                         GeneralCase{0.0000454, 4, "4.54e-005"}, GeneralCase{0, 4, "0."},
                                         GeneralCase{1000, 4, "1000"}, GeneralCase{1.5, 4, "1.5"},
                                         GeneralCase{0, 3, "0."}, GeneralCase{5, 3, "5."}, GeneralCase{50, 3, "50."},
                                         GeneralCase{100, 3, "100"}, GeneralCase{12.5, 3, "12.5"},
                                         GeneralCase{99.95, 3, "100."}, GeneralCase{33.3333, 5, "33.333"}));

// Exact binary halves round away from zero (a C printf would round them to
// even); a carry raises the exponent, while the notation stays that of the
// exact value. The doubles nearest 99999.95 and 9.999995e-5 lie just below
// and just above their halves.
INSTANTIATE_TEST_SUITE_P(HalvesAndCarries, FormatGeneralTable,
                         testing::Values(GeneralCase{1234565, 6, "1.23457e+006"},
                                         GeneralCase{1234575, 6, "1.23458e+006"}, GeneralCase{12345.5, 5, "12346"},
                                         GeneralCase{12344.5, 5, "12345"}, GeneralCase{0.03125, 3, "3.13e-002"},
                                         GeneralCase{0.125, 2, "0.13"}, GeneralCase{2.5, 1, "3"},
                                         GeneralCase{-2.5, 1, "-3"}, GeneralCase{0.5, 1, "0.5"},
                                         GeneralCase{-1234565, 6, "-1.23457e+006"}, GeneralCase{999999.5, 6, "1000000"},
                                         GeneralCase{999999.4, 6, "999999"}, GeneralCase{99999.95, 6, "99999.9"},
                                         GeneralCase{99999.96875, 6, "100000."}, GeneralCase{9999.5, 4, "10000"},
                                         GeneralCase{0.99999999, 6, "1."}, GeneralCase{0.0999996, 6, "9.99996e-002"},
                                         GeneralCase{9999995, 6, "1.e+007"}, GeneralCase{9.999995e-5, 6, "1.e-004"},
                                         GeneralCase{9.9999999e-5, 6, "1.e-004"}));

INSTANTIATE_TEST_SUITE_P(
    PowersOfTenBoundaries, FormatGeneralTable,
    testing::Values(GeneralCase{99999.9, 6, "99999.9"}, GeneralCase{100000, 6, "100000"},
                    GeneralCase{999999, 6, "999999"}, GeneralCase{1000000, 6, "1.e+006"},
                    GeneralCase{std::nextafter(1000000.0, 0.0), 6, "1000000"},
                    GeneralCase{std::nextafter(0.1, 0.0), 6, "1.e-001"}, GeneralCase{0.1, 3, "0.1"},
                    GeneralCase{std::nextafter(1.0, 0.0), 6, "1."}, GeneralCase{1e22, 6, "1.e+022"},
                    GeneralCase{std::nextafter(1e22, 0.0), 6, "1.e+022"}, GeneralCase{1e23, 6, "1.e+023"},
                    GeneralCase{1e-300, 6, "1.e-300"}, GeneralCase{DBL_MAX, 6, "1.79769e+308"},
                    GeneralCase{-DBL_MAX, 4, "-1.798e+308"}, GeneralCase{DBL_MIN, 6, "2.22507e-308"},
                    GeneralCase{DBL_TRUE_MIN, 6, "4.94066e-324"}, GeneralCase{FLT_TRUE_MIN, 6, "1.4013e-045"},
                    GeneralCase{FLT_MAX, 6, "3.40282e+038"}));

struct CellCase {
    double value;
    const char* expected;
};

class FormatCellTable : public testing::TestWithParam<CellCase> {};

TEST_P(FormatCellTable, GivesExactText) { EXPECT_EQ(FormatCell(GetParam().value), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(Cells, FormatCellTable,
                         testing::Values(CellCase{1, "1,0"}, CellCase{0, "0,0"}, CellCase{-0.0, "0,0"},
                                         CellCase{0.5, "0,5"}, CellCase{12345, "12345,0"}, CellCase{123456, "123456"},
                                         CellCase{0.05, "5,e-002"}, CellCase{2.5e-7, "2,5e-007"},
                                         CellCase{20 * double{0.005f}, "1,e-001"}, CellCase{-1.25, "-1,25"},
                                         CellCase{1e6, "1,e+006"}, CellCase{999999.5, "1000000"},
                                         CellCase{std::numeric_limits<double>::quiet_NaN(), "nan"},
                                         CellCase{std::numeric_limits<double>::infinity(), "inf"},
                                         CellCase{-std::numeric_limits<double>::infinity(), "-inf"}));

TEST(FormatGeneral, NonFiniteValuesAreOneWordForEveryDigitCount)
{
    for (int digits = 3; digits <= 6; ++digits) {
        EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::quiet_NaN(), digits), "nan");
        EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::quiet_NaN(), digits), "nan");
        EXPECT_EQ(FormatGeneral(std::numeric_limits<double>::infinity(), digits), "inf");
        EXPECT_EQ(FormatGeneral(-std::numeric_limits<double>::infinity(), digits), "-inf");
    }
}

// Reference built the plain way: the exact digits from printf (exact in
// glibc, independent of to_chars), rounded half away by hand.
std::string Reference(double value, int digits)
{
    if (value == 0) {
        return "0.";
    }
    char buffer[1000];
    std::snprintf(buffer, sizeof buffer, "%.800e", std::fabs(value));
    std::string exact = std::string(1, buffer[0]) + std::string(buffer + 2, std::strchr(buffer, 'e'));
    const int e = std::atoi(std::strchr(buffer, 'e') + 1);

    std::string kept = exact.substr(0, digits);
    int exponent = e;
    if (exact[digits] >= '5') {
        int i = digits - 1;
        while (i >= 0 && kept[i] == '9') {
            kept[i--] = '0';
        }
        if (i < 0) {
            kept.insert(kept.begin(), '1');
            ++exponent;
        } else {
            ++kept[i];
        }
    }

    std::string text = value < 0 ? "-" : "";
    if (e >= -1 && e <= digits - 1) {
        const int decimals = digits - 1 - e;
        std::string whole = kept.substr(0, kept.size() - decimals);
        text += (whole.empty() ? "0" : whole);
        if (decimals > 0) {
            std::string fraction = kept.substr(kept.size() - decimals);
            while (!fraction.empty() && fraction.back() == '0') {
                fraction.pop_back();
            }
            text += "." + fraction;
        }
        return text;
    }
    std::string fraction = kept.substr(1, digits - 1);
    while (!fraction.empty() && fraction.back() == '0') {
        fraction.pop_back();
    }
    std::snprintf(buffer, sizeof buffer, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return text + kept[0] + "." + fraction + buffer;
}

TEST(FormatGeneral, AgreesWithExactReferenceOnRandomValues)
{
    std::mt19937_64 random(20240611);
    std::uniform_real_distribution<double> decade(-9.0, 9.0);
    std::uniform_int_distribution<int> digitCount(3, 6);
    std::uniform_int_distribution<long long> integer(1, 99999999);
    for (int i = 0; i < 200000; ++i) {
        double value = 0;
        switch (i % 6) {
        case 0: { // any double, denormals included
            const std::uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value)) {
                continue;
            }
            break;
        }
        case 1: { // any float, widened
            const std::uint32_t bits = static_cast<std::uint32_t>(random());
            float f;
            std::memcpy(&f, &bits, sizeof f);
            value = f;
            if (!std::isfinite(value)) {
                continue;
            }
            break;
        }
        case 2:
            value = static_cast<float>(std::pow(10.0, decade(random)));
            break;
        case 3: // exact halves: an integer ending in 5, scaled by a power of two
            value = std::ldexp(static_cast<double>(integer(random) * 10 + 5), -(i % 20));
            break;
        case 4: // neighbours of powers of ten
            value = std::nextafter(std::pow(10.0, static_cast<int>(decade(random))), (i & 8) ? 0.0 : 1e300);
            break;
        default:
            value = -std::pow(10.0, decade(random));
            break;
        }
        const int digits = digitCount(random);
        ASSERT_EQ(FormatGeneral(value, digits), Reference(value, digits))
            << "value " << std::hexfloat << value << " digits " << digits;
    }
}

// Away from exact halves, the text is the value rounded to 6 significant
// digits, whichever notation it takes.
TEST(FormatGeneral, ParsesBackToTheValueRoundedToSixDigits)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> decade(-12.0, 12.0);
    for (int i = 0; i < 100000; ++i) {
        const double value = std::pow(10.0, decade(random)) * ((i & 1) ? -1 : 1);
        char rounded[64];
        std::snprintf(rounded, sizeof rounded, "%.5e", value);
        ASSERT_EQ(std::strtod(FormatGeneral(value, 6).c_str(), nullptr), std::strtod(rounded, nullptr))
            << FormatGeneral(value, 6) << " vs " << rounded;
    }
}

} // namespace
} // namespace tamrisk
