#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The t-Scan's model in numpy, vectorised over evaluation times and depths:
the comparison program for the whole-process scan benchmark. Same grid
(extinction and evaluation time, 1 to 10000, logarithmic), same default
parameters and the same single-precision steps as the program, with the
running sums accumulated in order (cumsum); the cells are written with
Python's "%g", not the program's texts. Usage: scan_numpy.py STEPS OUTPUT"""
import sys

import numpy as np

f32 = np.float32


def axis(start, end, steps):
    k = np.arange(steps + 1, dtype=np.float64)
    log_start = np.log(np.float64(start))
    return (np.exp(log_start + ((np.log(np.float64(end)) - log_start) / steps) * k)).astype(f32)


def lab_dose_fit(z):
    x = z.astype(np.float64)
    rational = (1.0008 + 23.3236 * x - 15.4861 * x**2) / (1.0 + 15.7639 * x - 1.88 * x**2)
    linear = 1.484 - 0.883 * x
    out = np.where(x < 0.91, rational, linear)
    return np.where((x >= 0.0) & (x < 1.68), out, 0.0).astype(f32)


def main():
    steps = int(sys.argv[1]) if len(sys.argv) > 1 else 200
    output = sys.argv[2] if len(sys.argv) > 2 else "/dev/null"
    points, top, bottom = 400, f32(0.0), f32(2.0)
    rate, beta, external = f32(0.05), f32(0.8333333), f32(0.0)

    depth_step = f32((np.float64(bottom) - np.float64(top)) / points)
    z = (np.arange(points, dtype=np.float64) * np.float64(depth_step)).astype(f32)
    lab = lab_dose_fit(z).astype(np.float64)
    nat = (1.0 - np.exp(-np.float64(beta) * z) * (1.0 - np.float64(external)) * 0.5).astype(f32).astype(np.float64)

    extinctions = axis(1.0, 10000.0, steps)
    times = axis(1.0, 10000.0, steps)
    factors = -np.float64(rate) * times.astype(np.float64)
    lines = []
    for mu in extinctions:
        attenuation = np.exp(-np.float64(mu) * z.astype(np.float64))
        intensity = attenuation.astype(f32).astype(np.float64)
        osl = (1.0 - np.exp(factors[:, None] * attenuation[None, :])).astype(f32).astype(np.float64)
        eff_lab = (intensity * lab * osl).astype(f32)
        eff_nat = (intensity * nat * osl).astype(f32)
        total_lab = np.cumsum(eff_lab, axis=1, dtype=f32)[:, -1]
        total_nat = np.cumsum(eff_nat, axis=1, dtype=f32)[:, -1]
        half = f32(np.log(2.0) / np.float64(mu))
        transmission = f32(np.exp(-np.float64(mu)))
        for t, a, b in zip(times, total_lab, total_nat):
            lines.append("%g\t%g\t%g\t%g\t%g\t%g\t%g\n" % (mu, half, transmission, t, a, b, np.float64(a) / np.float64(b)))
    with open(output, "w") as out:
        out.writelines(lines)


if __name__ == "__main__":
    main()
