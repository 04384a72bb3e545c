// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace tamrisk::testing {

// Arguments as the model meets them: mostly small negative exponents of any
// magnitude (OSL fractions and decays), the whole finite range up to
// overflow and underflow, and arbitrary bit patterns (infinities, NaNs,
// huge values).
class ArgumentStream {
public:
    explicit ArgumentStream(std::uint64_t seed) : state_(seed) {}
    double Next()
    {
        const std::uint64_t bits = Random();
        switch (bits % 8) {
        case 0:
            return std::bit_cast<double>(Random());
        case 1:
        case 2:
        case 3:
            return -750.0 + 1462.0 * Unit(bits);
        default: // -2^-60 to -2^10, log-uniform
            return -std::ldexp(1.0 + Unit(bits), int(bits >> 58) % 70 - 60);
        }
    }

private:
    std::uint64_t Random()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    static double Unit(std::uint64_t bits) { return double(bits >> 11) * 0x1p-53; }
    std::uint64_t state_;
};

inline std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }

} // namespace tamrisk::testing
