// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The number texts as first written: std::to_chars digits, with an exact
// expansion for possible halves. Kept to check the integer-digit version
// against, value for value.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace tamrisk::testing {
namespace reference {

// A double's exact decimal expansion has at most 767 significant digits, so
// this many digits of std::to_chars are the exact value.
constexpr int kExactPrecision = 780;
// Digits beyond the requested ones in the fast first pass; only a tail that
// looks like an exact half or a leading "1000..." needs the exact pass.
constexpr int kGuardDigits = 20;
constexpr int kMaxDigits = 40;

// The significant digits of a positive finite value and the decimal exponent
// of the first one.
struct Decimal {
    char digits[kExactPrecision + 2];
    int count = 0;
    int exponent = 0;
};

// Writes `precision` + 1 significant digits of `magnitude`, rounded by
// std::to_chars (which is exact and locale independent).
inline void ToDecimal(double magnitude, int precision, Decimal& out)
{
    char text[kExactPrecision + 16];
    const auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, precision);
    const char* end = result.ptr;
    const char* mark = std::find(static_cast<const char*>(text), end, 'e');

    out.count = 0;
    out.digits[out.count++] = text[0];
    for (const char* p = text + 2; p < mark; ++p) {
        out.digits[out.count++] = *p;
    }

    const char* p = mark + 1;
    const bool negative = *p == '-';
    ++p;
    int exponent = 0;
    for (; p < end; ++p) {
        exponent = exponent * 10 + (*p - '0');
    }
    out.exponent = negative ? -exponent : exponent;
}

inline bool AllZeros(const char* first, const char* last)
{
    return std::all_of(first, last, [](char c) { return c == '0'; });
}

inline bool IsExactPowerOfTen(double magnitude, int exponent)
{
    // 10^0 to 10^22 are the only powers of ten a double holds exactly.
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    return exponent >= 0 && exponent <= 22 && magnitude == kPowers[exponent];
}

// The guard digits decide the exponent and the rounding unless the tail reads
// "5000..." (perhaps a rounded-up value just below a half) or all digits
// read "1000..." (perhaps a value just below a power of ten, rounded up).
inline bool GuardDigitsDecide(double magnitude, int digits, const Decimal& d)
{
    const char* tail = d.digits + digits;
    const char* end = d.digits + d.count;
    if (*tail == '5' && AllZeros(tail + 1, end)) {
        return false;
    }
    if (d.digits[0] == '1' && AllZeros(d.digits + 1, end)) {
        return IsExactPowerOfTen(magnitude, d.exponent);
    }
    return true;
}

// Rounds to the first `digits` digits, halves away from zero. Returns true
// when the rounding carried into a new leading digit ("999" -> "1000"); the
// digits then read "1000..." with `digits` + 1 places.
inline bool RoundHalfAway(Decimal& d, int digits)
{
    const bool up = d.digits[digits] >= '5';
    d.count = digits;
    if (!up) {
        return false;
    }
    for (int i = digits - 1; i >= 0; --i) {
        if (d.digits[i] != '9') {
            ++d.digits[i];
            return false;
        }
        d.digits[i] = '0';
    }
    d.digits[0] = '1';
    d.digits[d.count++] = '0';
    return true;
}

inline void DropTrailingZeros(std::string& text)
{
    while (text.back() == '0') {
        text.pop_back();
    }
}

// The rounded digits stand for digits x 10^(exponent - N + 1); `decimals`
// of them go behind the point.
inline void AppendFixed(std::string& text, const Decimal& d, int decimals)
{
    if (decimals == 0) {
        text.append(d.digits, d.count);
        return;
    }
    const int whole = d.count - decimals;
    if (whole <= 0) {
        text.push_back('0');
    } else {
        text.append(d.digits, whole);
    }
    text.push_back('.');
    text.append(d.digits + std::max(whole, 0), d.digits + d.count);
    DropTrailingZeros(text);
}

inline void AppendExponent(std::string& text, const Decimal& d, int digits, int exponent)
{
    text.push_back(d.digits[0]);
    text.push_back('.');
    text.append(d.digits + 1, d.digits + digits);
    DropTrailingZeros(text);
    text.push_back('e');
    text.push_back(exponent < 0 ? '-' : '+');
    char buffer[8];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::abs(exponent));
    const auto width = result.ptr - buffer;
    text.append(width < 3 ? 3 - width : 0, '0');
    text.append(buffer, result.ptr);
}

} // namespace reference

inline std::string ReferenceFormatGeneral(double value, int digits)
{
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-inf" : "inf";
    }
    digits = std::clamp(digits, 1, reference::kMaxDigits);

    // Zero has the exponent -1: fixed notation with nothing left behind the
    // point. Negative zero is not a negative value and gets no sign.
    if (value == 0.0) {
        return "0.";
    }
    std::string text;
    if (value < 0) {
        text.push_back('-');
    }
    const double magnitude = std::fabs(value);

    reference::Decimal d;
    reference::ToDecimal(magnitude, digits + reference::kGuardDigits - 1, d);
    if (!reference::GuardDigitsDecide(magnitude, digits, d)) {
        reference::ToDecimal(magnitude, reference::kExactPrecision, d);
    }

    // The notation follows the exponent of the exact value; a carry of the
    // rounding changes the exponent only in exponent notation.
    const int exponent = d.exponent;
    const bool carried = reference::RoundHalfAway(d, digits);
    if (exponent >= -1 && exponent <= digits - 1) {
        reference::AppendFixed(text, d, digits - 1 - exponent);
    } else {
        reference::AppendExponent(text, d, digits, carried ? exponent + 1 : exponent);
    }
    return text;
}

inline std::string ReferenceFormatCell(double value)
{
    std::string text = ReferenceFormatGeneral(value, 6);
    if (text.back() == '.') {
        text.push_back('0');
    }
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

} // namespace tamrisk::testing
