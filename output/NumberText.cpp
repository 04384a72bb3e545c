// SPDX-License-Identifier: GPL-3.0-or-later
#include "output/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tamrisk {
namespace {

// A double's exact decimal expansion has at most 767 significant digits, so
// this many digits of std::to_chars are the exact value.
constexpr int kExactPrecision = 780;
constexpr int kMaxDigits = 40;
// The integer digit path covers these magnitudes and digit counts; the
// rest takes the exact expansion of std::to_chars.
constexpr int kFastMaxDigits = 9;
constexpr double kFastLow = 1e-20;
constexpr double kFastHigh = 1e20;
constexpr int kFastMaxPower = 30; // above |e - digits + 1| for the range above

// 128-bit integers (a GCC and Clang extension) hold the exact quotients.
__extension__ typedef unsigned __int128 Wide;

constexpr Wide Power(unsigned base, int exponent)
{
    Wide p = 1;
    for (int i = 0; i < exponent; ++i)
        p *= base;
    return p;
}

constexpr auto kPowersOf5 = [] {
    struct {
        Wide p[kFastMaxPower + 1];
    } table{};
    for (int i = 0; i <= kFastMaxPower; ++i)
        table.p[i] = Power(5, i);
    return table;
}();

constexpr std::uint64_t kPowersOf10[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000};

constexpr int kApproxOffset = 22;
constexpr double kApproxPowersOf10[] = {1e-22, 1e-21, 1e-20, 1e-19, 1e-18, 1e-17, 1e-16, 1e-15, 1e-14, 1e-13, 1e-12,
                                        1e-11, 1e-10, 1e-9,  1e-8,  1e-7,  1e-6,  1e-5,  1e-4,  1e-3,  1e-2,  1e-1,
                                        1e0,   1e1,   1e2,   1e3,   1e4,   1e5,   1e6,   1e7,   1e8,   1e9,   1e10,
                                        1e11,  1e12,  1e13,  1e14,  1e15,  1e16,  1e17,  1e18,  1e19,  1e20,  1e21};

// The first `digits` significant digits of a positive finite value, rounded
// with halves away from zero, and the decimal exponent of the exact value's
// first digit. carried: the rounding reached a new leading digit; the
// digits then read "1000..." with `digits` + 1 places.
struct Decimal {
    char digits[kExactPrecision + 2];
    int count = 0;
    int exponent = 0;
    bool carried = false;
};

constexpr auto kDigitPairs = [] {
    struct {
        char c[200];
    } pairs{};
    for (int i = 0; i < 100; ++i) {
        pairs.c[2 * i] = char('0' + i / 10);
        pairs.c[2 * i + 1] = char('0' + i % 10);
    }
    return pairs;
}();

// The `count` decimal digits of value, leading zeros included, two at a time.
void WriteDigits(char* out, std::uint64_t value, int count)
{
    char* p = out + count;
    for (; p - out >= 2; p -= 2) {
        const std::uint64_t pair = value % 100;
        value /= 100;
        p[-2] = kDigitPairs.c[2 * pair];
        p[-1] = kDigitPairs.c[2 * pair + 1];
    }
    if (p > out)
        p[-1] = char('0' + value);
}

// Quotient and whether the remainder is at least half the divisor.
template <typename T>
std::uint64_t DivideRounding(T a, T b, bool& roundUp)
{
    const T q = a / b;
    const T r = a - q * b;
    roundUp = r >= b - r;
    return std::uint64_t(q);
}

// By integer arithmetic: magnitude = M 2^E exactly, and with s = e - digits
// + 1 the rounded digits are those of M 2^E / 10^s = A / B, A and B integers
// (the 10^s split into 5^s and 2^s). Within the fast range A and B stay below
// 2^120. Returns false outside that range.
bool FastDigits(double magnitude, int digits, Decimal& d)
{
    if (digits > kFastMaxDigits || !(magnitude >= kFastLow && magnitude < kFastHigh))
        return false;
    // A normal double: 1.f x 2^(field - 1023), or M 2^(field - 1075).
    const std::uint64_t bits = std::bit_cast<std::uint64_t>(magnitude);
    const int field = int(bits >> 52);
    std::uint64_t mantissa = (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
    int twos = field - 1075;
    const int zeros = std::countr_zero(mantissa);
    mantissa >>= zeros;
    twos += zeros;

    // floor((field - 1023) log10 2) is the exponent or one less; a look at
    // the nearest double to the next power of ten mostly settles which. The
    // digit count below is exact and corrects either way.
    int exponent = ((field - 1023) * 78913) >> 18;
    if (magnitude >= kApproxPowersOf10[exponent + 1 + kApproxOffset])
        ++exponent;
    for (;;) {
        const int s = exponent - digits + 1;
        const int shift = twos - s;
        bool roundUp = false;
        std::uint64_t q = 0;
        if (s < 0 && shift < 0) {
            // The divisor is a power of two (the usual case for cells below
            // 10^digits): the quotient and the remainder are bit fields.
            const Wide a = mantissa * kPowersOf5.p[-s];
            const Wide rest = a & ((Wide(1) << -shift) - 1);
            q = std::uint64_t(a >> -shift);
            roundUp = rest >= (Wide(1) << (-shift - 1));
        } else {
            Wide a = mantissa;
            Wide b = 1;
            if (s < 0)
                a *= kPowersOf5.p[-s];
            else
                b *= kPowersOf5.p[s];
            if (shift >= 0)
                a <<= shift;
            else
                b <<= -shift;
            q = (a >> 64) == 0 && (b >> 64) == 0
                    ? DivideRounding<std::uint64_t>(std::uint64_t(a), std::uint64_t(b), roundUp)
                    : DivideRounding<Wide>(a, b, roundUp);
        }
        if (q >= kPowersOf10[digits]) {
            ++exponent; // the estimate was one short
            continue;
        }
        if (q < kPowersOf10[digits - 1]) {
            --exponent; // one too many
            continue;
        }
        std::uint64_t rounded = q + (roundUp ? 1 : 0);
        d.exponent = exponent;
        d.carried = rounded == kPowersOf10[digits];
        if (d.carried)
            rounded = kPowersOf10[digits]; // "1000..." with digits + 1 places
        d.count = d.carried ? digits + 1 : digits;
        WriteDigits(d.digits, rounded, d.count);
        return true;
    }
}

// Writes `precision` + 1 significant digits of `magnitude`, rounded by
// std::to_chars (which is exact and locale independent).
void ToDecimal(double magnitude, int precision, Decimal& out)
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

// Rounds the exact expansion to the first `digits` digits, halves away from
// zero, as FastDigits does.
void RoundHalfAway(Decimal& d, int digits)
{
    const bool up = d.count > digits && d.digits[digits] >= '5';
    d.count = std::min(d.count, digits);
    std::fill(d.digits + d.count, d.digits + digits, '0');
    d.count = digits;
    d.carried = false;
    if (!up) {
        return;
    }
    for (int i = digits - 1; i >= 0; --i) {
        if (d.digits[i] != '9') {
            ++d.digits[i];
            return;
        }
        d.digits[i] = '0';
    }
    d.digits[0] = '1';
    d.digits[d.count++] = '0';
    d.carried = true;
}

void ExactDigits(double magnitude, int digits, Decimal& d)
{
    if (FastDigits(magnitude, digits, d))
        return;
    ToDecimal(magnitude, kExactPrecision, d);
    RoundHalfAway(d, digits);
}

char* DropTrailingZeros(char* end)
{
    while (end[-1] == '0') {
        --end;
    }
    return end;
}

char* Copy(char* out, const char* first, int count)
{
    for (int i = 0; i < count; ++i)
        out[i] = first[i];
    return out + count;
}

// The rounded digits stand for digits x 10^(exponent - N + 1); `decimals`
// of them go behind the point.
char* WriteFixed(char* out, const Decimal& d, int decimals, char point)
{
    if (decimals == 0) {
        return Copy(out, d.digits, d.count);
    }
    const int whole = d.count - decimals;
    if (whole <= 0) {
        *out++ = '0';
    } else {
        out = Copy(out, d.digits, whole);
    }
    *out++ = point;
    const int from = std::max(whole, 0);
    out = Copy(out, d.digits + from, d.count - from);
    return DropTrailingZeros(out);
}

char* WriteExponent(char* out, const Decimal& d, int digits, int exponent, char point)
{
    *out++ = d.digits[0];
    *out++ = point;
    out = Copy(out, d.digits + 1, digits - 1);
    out = DropTrailingZeros(out);
    *out++ = 'e';
    *out++ = exponent < 0 ? '-' : '+';
    const int magnitude = std::abs(exponent);
    if (magnitude >= 1000) { // not reached by a double; kept whole all the same
        const auto result = std::to_chars(out, out + 8, magnitude);
        return result.ptr;
    }
    *out++ = char('0' + magnitude / 100);
    *out++ = char('0' + magnitude / 10 % 10);
    *out++ = char('0' + magnitude % 10);
    return out;
}

// Room for the sign, 40 digits, the point, leading "0." and an exponent.
constexpr int kTextCapacity = 64;

// Writes FormatGeneral's text, with `point` for the decimal point, into out
// and returns its end.
char* WriteGeneral(char* out, double value, int digits, char point)
{
    if (std::isnan(value)) {
        return Copy(out, "nan", 3);
    }
    if (std::isinf(value)) {
        return value < 0 ? Copy(out, "-inf", 4) : Copy(out, "inf", 3);
    }
    digits = std::clamp(digits, 1, kMaxDigits);

    // Zero has the exponent -1: fixed notation with nothing left behind the
    // point. Negative zero is not a negative value and gets no sign.
    if (value == 0.0) {
        *out++ = '0';
        *out++ = point;
        return out;
    }
    if (value < 0) {
        *out++ = '-';
    }
    Decimal d;
    ExactDigits(std::fabs(value), digits, d);

    // The notation follows the exponent of the exact value; a carry of the
    // rounding changes the exponent only in exponent notation.
    const int exponent = d.exponent;
    if (exponent >= -1 && exponent <= digits - 1) {
        return WriteFixed(out, d, digits - 1 - exponent, point);
    }
    return WriteExponent(out, d, digits, d.carried ? exponent + 1 : exponent, point);
}

} // namespace

std::string FormatGeneral(double value, int digits)
{
    char text[kTextCapacity];
    return std::string(text, WriteGeneral(text, value, digits, '.'));
}

char* WriteFormatCell(char* out, double value)
{
    static_assert(kFormatCellCapacity >= kTextCapacity + 1);
    char* end = WriteGeneral(out, value, 6, ',');
    if (end[-1] == ',') {
        *end++ = '0';
    }
    return end;
}

std::string FormatCell(double value)
{
    char text[kFormatCellCapacity];
    return std::string(text, WriteFormatCell(text, value));
}

} // namespace tamrisk
