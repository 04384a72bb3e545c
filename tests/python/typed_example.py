# SPDX-License-Identifier: GPL-3.0-or-later
"""The module used as a script would use it, for mypy --strict against the stub tamrisk.pyi."""

import numpy as np
from numpy.typing import NDArray

import tamrisk


def mean_ratio(extinction: float) -> float:
    profile = tamrisk.profile(extinction=extinction, transparency_correction=True, show=["showIntensity"])
    depth: NDArray[np.float32] = profile["depth_mm"]
    return float(profile["eff_ratio"][depth < 1.0].mean()) + profile["totals"]["eff_ratio"]


def scan_corner() -> float:
    scan = tamrisk.scan(ext=(0.1, 100.0, 20, True), time=(1, 1e4, 20, True), threads=2, rate1="0.1")
    ratio: NDArray[np.float64] = scan["eff_ratio"]
    return float(ratio[0, 0])


def sweep_columns() -> list[str]:
    columns = tamrisk.sweep(vary={"rate1": "0.01:1:10:log", "eval_time": (1, 1e4, 20, True)}, threads=None)
    frame = tamrisk.sweep(vary=["dose-rate=0:2:4"], columns=["signal_axis_max"], as_frame=True)
    return list(columns) + [str(name) for name in frame.columns]


def replay(path: str) -> str:
    inputs = tamrisk.load_record(path)
    inputs["rate1"] = 0.2
    tamrisk.save_record(path + ".new", **inputs)
    readout: tamrisk.Readout = tamrisk.readouts(**inputs)["eff_ratio"]
    described: tamrisk.Input = tamrisk.inputs()["rate1"]
    return readout.text + described.unit + tamrisk.__version__
