// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ParseText.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace tamrisk {
namespace {

struct NumberCase {
    const char* text;
    double expected;
};

class ParseNumberTest : public ::testing::TestWithParam<NumberCase> {};

TEST_P(ParseNumberTest, ReadsAsAtofInTheCLocale)
{
    EXPECT_EQ(ParseNumber(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseNumberTest,
                         ::testing::Values(NumberCase{"", 0.0}, NumberCase{"abc", 0.0}, NumberCase{"0.000", 0.0},
                                           NumberCase{"2.000", 2.0}, NumberCase{"1,5", 1.0}, NumberCase{"1.5", 1.5},
                                           NumberCase{" 2.5mm", 2.5}, NumberCase{"\t\n 7", 7.0},
                                           NumberCase{"2e-3", 0.002}, NumberCase{"2e", 2.0}, NumberCase{"-.5", -0.5},
                                           NumberCase{"+3", 3.0}, NumberCase{"0x1p3", 8.0}, NumberCase{"0x10", 16.0},
                                           NumberCase{"1e400", HUGE_VAL}, NumberCase{"-inf", -HUGE_VAL},
                                           NumberCase{"Infinity", HUGE_VAL}, NumberCase{"0.05", 0.05},
                                           NumberCase{". 5", 0.0}, NumberCase{"- 5", 0.0}));

TEST(ParseNumber, NanTextGivesNan)
{
    EXPECT_TRUE(std::isnan(ParseNumber("nan")));
    EXPECT_TRUE(std::isnan(ParseNumber(" NAN(123)x")));
}

TEST(ParseNumber, StopsAtTheEndOfTheView)
{
    const std::string text = "12345";
    EXPECT_EQ(ParseNumber(std::string_view(text).substr(0, 2)), 12.0);
}

TEST(ParseNumber, ReadsAVeryLongText)
{
    std::string digits(100000, '1');
    digits[1] = '.';
    EXPECT_NEAR(ParseNumber(digits), 1.1111111111111112, 1e-15);
    EXPECT_EQ(ParseNumber(std::string(100000, ' ')), 0.0);
}

struct IntegerCase {
    const char* text;
    int expected;
};

class ParseIntegerTest : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(ParseIntegerTest, ReadsAsAtoiAndClamps)
{
    EXPECT_EQ(ParseInteger(GetParam().text), GetParam().expected) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseIntegerTest,
                         ::testing::Values(IntegerCase{"", 0}, IntegerCase{"x", 0}, IntegerCase{"10", 10},
                                           IntegerCase{"10.9", 10}, IntegerCase{" -3", -3}, IntegerCase{"+4", 4},
                                           IntegerCase{"0x10", 0}, IntegerCase{"1e3", 1},
                                           IntegerCase{"2147483647", INT_MAX}, IntegerCase{"2147483648", INT_MAX},
                                           IntegerCase{"-2147483648", INT_MIN}, IntegerCase{"-2147483649", INT_MIN},
                                           IntegerCase{"99999999999999999999999", INT_MAX},
                                           IntegerCase{"-99999999999999999999999", INT_MIN}));

TEST(ParseInteger, ReadsAVeryLongText) { EXPECT_EQ(ParseInteger(std::string(100000, '9')), INT_MAX); }

// A German number locale: an installed one, or else one compiled with
// localedef into the test's temporary directory.
const char* SetGermanNumericLocale()
{
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            return name;
        }
    }
    const std::string dir = ::testing::TempDir() + "tamrisk-locales";
    const std::string command =
        "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        return nullptr;
    }
    setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr ? "de_DE.UTF-8" : nullptr;
}

// The window sets the user's locale; a decimal comma there must not change
// what a text means.
TEST(ParseText, IgnoresTheProcessLocale)
{
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    if (SetGermanNumericLocale() == nullptr) {
        GTEST_SKIP() << "no German locale available";
    }
    const bool commaLocale = std::atof("1,5") == 1.5;
    const double point = ParseNumber("1.5");
    const double comma = ParseNumber("1,5");
    const int integer = ParseInteger("1.000");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_TRUE(commaLocale) << "the locale does not use the decimal comma";
    EXPECT_EQ(point, 1.5);
    EXPECT_EQ(comma, 1.0);
    EXPECT_EQ(integer, 1);
}

} // namespace
} // namespace tamrisk
