# SPDX-License-Identifier: GPL-3.0-or-later
"""The built tool for the module's tests, and its clean tables read to the bit.

CTest runs the tests with the built module on PYTHONPATH and the tool's path
in TAMRISK_CLI (tests/python/CMakeLists.txt).
"""

import ctypes
import os
import subprocess

import numpy as np
import tamrisk

CLI = os.environ["TAMRISK_CLI"]

# strtof rounds a text to single precision once; numpy and float() would
# round it to double first, and a double rounding can land on the
# neighbouring float.
_strtof = ctypes.CDLL(None).strtof
_strtof.restype = ctypes.c_float
_strtof.argtypes = [ctypes.c_char_p, ctypes.c_void_p]

# The grid dialog's switches take 0 or 1; the window's are flags.
GRID_SWITCHES = {"ext_log", "time_log"}


def cli_args(inputs):
    """The tool's options for keyword inputs, the values as the tool is given them."""
    kinds = {name: item.kind for name, item in tamrisk.inputs().items()}
    args = []
    for name, value in inputs.items():
        option = "--" + name.replace("_", "-")
        if kinds[name] == "curves":
            if value:
                args += [option, value if isinstance(value, str) else ",".join(value)]
        elif kinds[name] == "switch" and name not in GRID_SWITCHES:
            args.append(option if value else "--no-" + name.replace("_", "-"))
        elif kinds[name] == "switch":
            args += [option, "1" if value else "0"]
        elif value is not None:
            args += [option, value if isinstance(value, str) else repr(value)]
    return args


def run_cli(*args):
    """The tool's standard output for a command line; it must succeed."""
    done = subprocess.run([CLI, *args], capture_output=True, text=True, check=False)
    assert done.returncode == 0, f"tamrisk-cli {' '.join(args)}: {done.stderr}"
    return done.stdout


def read_table(text, separator=","):
    """A clean table: its column names, and the texts of each column by name."""
    lines = text.splitlines()
    header = lines[0].split(separator)
    rows = [line.split(separator) for line in lines[1:]]
    assert all(len(row) == len(header) for row in rows)
    return header, {name: [row[c] for row in rows] for c, name in enumerate(header)}


def parse(cells, dtype):
    """Cell texts as numbers of dtype, each text rounded once."""
    if dtype == np.float32:
        return np.array([_strtof(cell.encode(), None) for cell in cells], dtype=np.float32)
    return np.array([float(cell) for cell in cells], dtype=np.float64)


def assert_same_bits(actual, expected, what=""):
    """Same dtype and shape, NaN at the same places and every other value to the bit.

    A clean table writes every NaN as "NaN", so a NaN's sign and payload are not compared.
    """
    actual = np.asarray(actual)
    expected = np.asarray(expected)
    assert actual.dtype == expected.dtype, what
    assert actual.shape == expected.shape, what
    nan = np.isnan(expected)
    np.testing.assert_array_equal(np.isnan(actual), nan, err_msg=f"{what}: NaN at other places")
    bits = np.uint32 if actual.dtype == np.float32 else np.uint64
    differ = np.flatnonzero(actual[~nan].view(bits) != expected[~nan].view(bits))
    assert differ.size == 0, f"{what}: {differ.size} values differ, first {actual[~nan][differ[0]]!r} " \
                             f"against {expected[~nan][differ[0]]!r}"
