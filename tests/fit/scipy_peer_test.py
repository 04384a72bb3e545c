#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The fit of a closed-form observable against SciPy's curve_fit on the same data.

The light intensity against depth is I(z) = exp(-mu z); data scale * I(z) with
seeded Gaussian noise are fitted for mu and the scale, by the tool with its
single-precision model and finite differences, and by curve_fit with the same
weights in double precision. Estimates and standard errors must agree within
what single precision and the derivatives' step allow.
"""
import csv
import io
import subprocess
import sys
import tempfile

import numpy as np
from scipy.optimize import curve_fit

tool = sys.argv[1]
failures = []


def model(z, mu, scale):
    return scale * np.exp(-mu * z)


def tool_fit(path, extra):
    run = subprocess.run([tool, "fit", "--data", path, "--observe", "intensity", "--free", "extinction=5",
                          "--free", "scale=1", "--format", "csv"] + extra, capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"tamrisk-cli fit failed ({run.returncode}): {run.stderr}")
    return {row["parameter"]: row for row in csv.DictReader(io.StringIO(run.stdout))}


for seed, (mu, scale, weighted) in enumerate([(2.0, 3.0, True), (8.0, 150.0, True), (0.7, 1.0, False)]):
    rng = np.random.default_rng(seed)
    z = np.round(np.linspace(0.05, 1.9, 24), 3)
    truth = model(z, mu, scale)
    sigma = 0.02 * truth + 0.001 * scale
    y = truth + sigma * rng.standard_normal(z.size)
    with tempfile.NamedTemporaryFile("w", suffix=".csv", delete=False) as f:
        f.write("depth_mm,intensity,err\n")
        for row in zip(z, y, sigma):
            f.write("%r,%r,%r\n" % tuple(float(v) for v in row))
        path = f.name
    if weighted:
        ours = tool_fit(path, ["--sigma", "err"])
        popt, pcov = curve_fit(model, z, y, p0=[5, 1], sigma=sigma, absolute_sigma=True)
    else:
        ours = tool_fit(path, [])
        popt, pcov = curve_fit(model, z, y, p0=[5, 1])
    perr = np.sqrt(np.diag(pcov))
    for k, name in enumerate(["extinction", "scale"]):
        est, err = float(ours[name]["estimate"]), float(ours[name]["std_error"])
        # Estimates: within a thousandth of the standard error (the model's
        # single-precision rounding moves the minimum by far less).
        if abs(est - popt[k]) > 1e-3 * perr[k]:
            failures.append(f"case {seed} {name}: estimate {est} vs SciPy {popt[k]} (error {perr[k]})")
        # Errors: within 0.1 % (central differences of step 0.005 in single precision).
        if abs(err - perr[k]) > 1e-3 * perr[k]:
            failures.append(f"case {seed} {name}: error {err} vs SciPy {perr[k]}")
        print(f"case {seed} {name}: estimate {est:.9g} vs {popt[k]:.9g}, error {err:.6g} vs {perr[k]:.6g}, "
              f"difference {abs(est - popt[k]) / perr[k]:.2e} of an error, errors differ by "
              f"{abs(err - perr[k]) / perr[k]:.2e}")

if failures:
    print("\n".join(failures))
    sys.exit(1)
