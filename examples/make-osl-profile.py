#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Makes examples/osl-profile.csv, a synthetic OSL-depth profile of a core.

The model itself gives the OSL fraction read out at 15 slice depths of a
material with an extinction coefficient of 2.5 per mm (evaluation time 100 s,
decay rate 0.05 per s, everything else at its default); the counts are 1500
times that, with Gaussian noise of 3 % plus 10 counts, seeded so that the file
comes out the same on every run:

    python3 examples/make-osl-profile.py [path/to/tamrisk-cli] > examples/osl-profile.csv
"""
import csv
import io
import random
import subprocess
import sys

tool = sys.argv[1] if len(sys.argv) > 1 else "tamrisk-cli"
profile = subprocess.run([tool, "export", "-o", "-", "--format", "csv", "--extinction", "2.5",
                          "--eval-time", "100", "--rate1", "0.05"],
                         capture_output=True, text=True, check=True).stdout
fraction = {round(float(row["depth_mm"]), 3): float(row["osl_fraction"])
            for row in csv.DictReader(io.StringIO(profile))}
random.seed(2026)
print("depth_mm,osl_fraction,sigma")
for k in range(15):
    depth = round(0.05 + 0.1 * k, 3)
    counts = 1500 * fraction[depth]
    sigma = 0.03 * counts + 10
    print(f"{depth:g},{counts + random.gauss(0, sigma):.1f},{sigma:.1f}")
