# SPDX-License-Identifier: GPL-3.0-or-later
"""The module's numbers are the tool's, to the bit: profile, curves, read-outs, scan and sweep
against the clean tables the built tamrisk-cli writes for the same inputs."""

import numpy as np
import pytest

import tamrisk
from clitables import assert_same_bits, cli_args, parse, read_table, run_cli

# Inputs of one model run, and whether some of its profile's values must be NaN.
CASES = {
    "defaults": ({}, False),
    "transparency correction": ({"transparency_correction": True}, False),
    "sliders at their ends": (
        {"transparency_correction": True, "extinction_pos": 0, "eval_time_pos": 200, "dose_rate_pos": 200,
         "depth_pos": 0}, False),
    "opaque, late": ({"extinction": 1e4, "eval_time": 1e7}, True),
    "nearly transparent, early": ({"extinction": 1e-6, "eval_time": 1e-3, "depth": 1.999}, False),
    "thick slab, fast decay": ({"top": 0.0, "bottom": 1000.0, "rate1": 50.0, "dose_rate": 2.0}, True),
    "texts as the tool takes them": (
        {"top": "0.25", "bottom": "1.5e0", "curve_step": "3", "time_max": "1200", "rate1": "+.125"}, False),
    "shown curves, own axis maxima": (
        {"show": ["showIntensity", "showEffRatio", "showTotalSignalLab"], "auto_profile": False, "plot_max": 3.0,
         "auto_signal": False, "intensity_max": 0.25}, False),
    "rate1 0": ({"rate1": 0.0}, True),
    "infinite extinction": ({"extinction": float("inf")}, True),
    "NaN evaluation time": ({"eval_time": float("nan")}, True),
}
# Read-outs computed in double precision; the others are stored floats.
DOUBLE_READOUTS = {"eff_ratio"}


def case_ids():
    return list(CASES)


def with_nan(arrays):
    return any(np.isnan(value).any() for value in arrays)


@pytest.mark.parametrize("case", case_ids())
def test_profile_is_the_export_table(case):
    inputs, nan = CASES[case]
    profile = tamrisk.profile(**inputs)
    header, cells = read_table(run_cli("export", "--format", "csv", "-o", "-", *cli_args(inputs)))
    assert header == [name for name in profile if name != "totals"]
    for name in header:
        assert_same_bits(profile[name], parse(cells[name], np.float32), f"{case}: {name}")
    if nan:
        assert with_nan(profile[name] for name in header)


@pytest.mark.parametrize("case", case_ids())
def test_profile_totals_are_the_json_documents(case):
    inputs, _ = CASES[case]
    totals = tamrisk.profile(**inputs)["totals"]
    _, cells = read_table(run_cli("readouts", "--format", "csv", *cli_args(inputs)))
    for name, value in totals.items():
        dtype = np.float64 if name in DOUBLE_READOUTS else np.float32
        assert_same_bits(np.array([value], dtype=dtype), parse(cells[name], dtype), f"{case}: {name}")


@pytest.mark.parametrize("case", case_ids())
def test_curves_are_the_curves_table(case):
    inputs, _ = CASES[case]
    curves = tamrisk.curves(**inputs)
    header, cells = read_table(run_cli("curves", "--format", "csv", *cli_args(inputs)))
    assert header == list(curves)
    for name in header:
        assert_same_bits(curves[name], parse(cells[name], np.float32), f"{case}: {name}")


@pytest.mark.parametrize("case", case_ids())
def test_readouts_are_the_tools_values_and_texts(case):
    inputs, _ = CASES[case]
    readouts = tamrisk.readouts(**inputs)
    header, cells = read_table(run_cli("readouts", "--format", "csv", *cli_args(inputs)))
    assert header == list(readouts)
    for name, readout in readouts.items():
        dtype = np.float64 if name in DOUBLE_READOUTS else np.float32
        if dtype == np.float32:
            assert readout.value == float(np.float32(readout.value)) or np.isnan(readout.value), name
        assert_same_bits(np.array([readout.value], dtype=dtype), parse(cells[name], dtype), f"{case}: {name}")
    # The window's texts, one "ID TAB TEXT" line each, in the same order.
    texts = [line.split("\t", 1)[1] for line in run_cli("readouts", *cli_args(inputs)).splitlines()]
    assert [readout.text for readout in readouts.values()] == texts


SCANS = {
    "201 x 201, logarithmic": ({"ext": (0.01, 1000.0, 200, True), "time": (1.0, 1e5, 200, True)}, {}),
    "linear, with transparency correction, one thread": (
        {"ext": (0.5, 40.0, 17, False), "time": (0.0, 3000.0, 33, False), "threads": 1},
        {"transparency_correction": True, "dose_rate": 0.7, "rate1": 0.2}),
    "the grid's inputs, one value of time": (
        {}, {"ext_start": "2", "ext_end": "20", "ext_steps": 9, "ext_log": False, "time_steps": 0, "time_start": 50.0}),
    "no values on the time axis": ({"time": (1.0, 10.0, -1)}, {}),
}


@pytest.mark.parametrize("case", list(SCANS))
def test_scan_is_the_scan_table(case):
    axes, inputs = SCANS[case]
    scan = tamrisk.scan(**axes, **inputs)
    grid = dict(inputs)
    for axis in ("ext", "time"):
        if axis in axes:
            values = axes[axis] + (False,) * (4 - len(axes[axis]))
            grid.update(zip([f"{axis}_start", f"{axis}_end", f"{axis}_steps", f"{axis}_log"], values))
    header, cells = read_table(run_cli("scan", "--format", "csv", "-q", "-o", "-", *cli_args(grid)))
    assert header == list(scan)
    passes, times = scan["eff_lab_total"].shape
    assert scan["extinction_per_mm"].shape == (passes,) and scan["eval_time_s"].shape == (times,)
    rows = {
        "extinction_per_mm": np.repeat(scan["extinction_per_mm"], times),
        "half_value_depth_mm": np.repeat(scan["half_value_depth_mm"], times),
        "transmission": np.repeat(scan["transmission"], times),
        "eval_time_s": np.tile(scan["eval_time_s"], passes),
    }
    for name in header:
        values = rows.get(name, scan[name].reshape(-1))
        assert_same_bits(values, parse(cells[name], values.dtype.type), f"{case}: {name}")
    assert scan["eff_ratio"].dtype == np.float64 and scan["eff_lab_total"].dtype == np.float32


SWEEPS = {
    "three axes, evaluation time innermost": (
        {"vary": {"extinction": "0.5:50:6:log", "transparency_correction": (False, True),
                  "eval_time": (1, 1e4, 30, True)}}, {"dose_rate": 0.5}),
    "point by point, with read-outs": (
        {"vary": ["eval-time=10:1000:3:log", "dose_rate=0:2:3", "rate1=0.01:1:2:log"],
         "columns": "signal_axis_max,half_value_depth_mm,profile_axis_max", "threads": 2},
        {"show": ["showTotalSignalNat"]}),
    "rate 0 and a switch given twice": (
        {"vary": {"rate1": (0.0, 0.5, 2), "transparency_correction": "1,0,1"}}, {}),
}


@pytest.mark.parametrize("case", list(SWEEPS))
def test_sweep_is_the_sweep_table(case):
    arguments, inputs = SWEEPS[case]
    sweep = tamrisk.sweep(**arguments, **inputs)
    vary = arguments["vary"]
    texts = vary if isinstance(vary, list) else [
        f"{name}={values}" if isinstance(values, str) else f"{name}=" + (
            ",".join(str(int(s)) for s in values) if isinstance(values[0], bool)
            else ":".join(repr(v) for v in values[:3]) + (":log" if len(values) > 3 and values[3] else ""))
        for name, values in vary.items()]
    args = [a for text in texts for a in ("--vary", text.replace("_", "-"))]
    if "columns" in arguments:
        args += ["--columns", arguments["columns"]]
    header, cells = read_table(run_cli("sweep", *args, *cli_args(inputs)))
    assert header == list(sweep)
    for name in header:
        assert_same_bits(sweep[name], parse(cells[name], sweep[name].dtype.type), f"{case}: {name}")
    frame = tamrisk.sweep(**arguments, **inputs, as_frame=True)
    assert list(frame.columns) == header
    for name in header:
        assert_same_bits(frame[name].to_numpy(), sweep[name], f"{case}: frame {name}")
