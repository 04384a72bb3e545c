// SPDX-License-Identifier: GPL-3.0-or-later
// First: the emulation defines the vector types itself.
#include "support/EmulatedAvx512.h"

#include "lanes/CurveTables.h"
#include "lanes/Forms.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace tamrisk::detail {
namespace {

std::uint32_t Bits(float value) { return std::isnan(value) ? 0x7fc00000u : std::bit_cast<std::uint32_t>(value); }

// ComputeModel runs the widest form the processor has (and is compared with
// the literal model elsewhere); here every form must give the scalar form's
// bits, lane by lane, on random depth columns and times: the vector forms
// this processor runs, and the AVX-512 form under emulation.
TEST(CurveKernel, EveryFormGivesTheScalarSums)
{
    const std::vector<const lanes::Forms*> forms = testing::VectorFormsToCompare();
    std::mt19937_64 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int run = 0; run < 300; ++run) {
        const std::size_t count = random() % 140;
        std::vector<double> columns(5 * count);
        const double rate = std::exp(std::log(2.5e-4) + unit(random) * std::log(3.0 / 2.5e-4));
        for (std::size_t j = 0; j < count; ++j) {
            const double attenuation = std::exp(-30.0 * unit(random));
            columns[j] = attenuation * rate;
            columns[count + j] = -rate * attenuation;
            columns[2 * count + j] = float(attenuation);
            columns[3 * count + j] = float(2.0 * unit(random));
            columns[4 * count + j] = float(4.0 * unit(random) - 1.0);
        }
        const CurveTables tables{count,
                                 run % 2 == 1,
                                 columns.data(),
                                 columns.data() + count,
                                 columns.data() + 2 * count,
                                 columns.data() + 3 * count,
                                 columns.data() + 4 * count};
        double times[8];
        for (double& t : times)
            t = float(600.0 * unit(random));
        for (const lanes::Forms* form : forms) {
            ASSERT_EQ(form->lanes, 8u) << form->name;
            float hom[8], lab[8], nat[8];
            form->sumCurves(tables, times, hom, lab, nat);
            for (int l = 0; l < 8; ++l) {
                float h = 0, a = 0, n = 0;
                lanes::scalar::kForms.sumCurves(tables, &times[l], &h, &a, &n);
                ASSERT_EQ(Bits(hom[l]), Bits(h)) << form->name << " run " << run << " lane " << l;
                ASSERT_EQ(Bits(lab[l]), Bits(a)) << form->name << " run " << run << " lane " << l;
                ASSERT_EQ(Bits(nat[l]), Bits(n)) << form->name << " run " << run << " lane " << l;
            }
        }
    }
}

} // namespace
} // namespace tamrisk::detail
