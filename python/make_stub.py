#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes tamrisk.pyi, the typed stub of the built module, from the module itself.

The inputs, the profile's and the curves' columns and the scan's arrays are
read from the module (and so from the core's tables); the rest is the text
below. Usage: make_stub.py OUTPUT (with the built module on PYTHONPATH).
"""

import sys

import tamrisk

# Keyword argument types by input kind, and the types load_record gives back.
ARGUMENT_TYPES = {
    "number": "float | str",
    "integer": "int | str",
    "position": "int | str",
    "switch": "bool",
    "value": "float | str | None",
    "curves": "str | Sequence[str]",
}
RECORD_TYPES = {
    "number": "float | str",
    "integer": "int | str",
    "position": "int",
    "switch": "bool",
    "value": "float | None",
    "curves": "list[str]",
}

HEAD = '''"""Typed stub of the tamrisk module, written from the built module by make_stub.py."""

from typing import Any, Literal, Mapping, NamedTuple, Sequence, TypedDict, overload

import numpy
from numpy.typing import NDArray

__version__: str

InputValue = float | int | bool | str | list[str] | None

class Input(NamedTuple):
    name: str
    unit: str
    meaning: str
    kind: str
    default: InputValue

class Readout(NamedTuple):
    value: float
    text: str
    unit: str

# The values of one axis of a sweep: the tool's --vary text ("0:2:20",
# "0.01:1:10:log", "0,1"), (start, end, steps[, log]) or switch states.
AxisValues = (
    str
    | tuple[float | str, float | str, int | str]
    | tuple[float | str, float | str, int | str, bool | str]
    | Sequence[bool | int]
)
Vary = Mapping[str, AxisValues] | Sequence[str]
Axis = tuple[float | str, float | str, int | str] | tuple[float | str, float | str, int | str, bool | str]
'''


def typed_dict(name, doc, fields, total=True):
    lines = [f"class {name}(TypedDict{'' if total else ', total=False'}):", f'    """{doc}"""', ""]
    lines += [f"    {key}: {kind}" for key, kind in fields]
    return "\n".join(lines) + "\n"


def array_type(value):
    if isinstance(value, dict):
        return "Totals"
    if hasattr(value, "dtype"):
        return f"NDArray[numpy.{value.dtype.name}]"
    return type(value).__name__


def function(name, own, result, inputs, overload_=False):
    params = ["*"] + own + [f"{key}: {ARGUMENT_TYPES[item.kind]} = ..." for key, item in inputs.items()]
    head = "@overload\n" if overload_ else ""
    return head + f"def {name}(\n    " + ",\n    ".join(params) + f",\n) -> {result}: ...\n"


def main(output):
    inputs = tamrisk.inputs()
    small = dict(ext=(1, 1, 0, False), time=(1, 1, 0, False))
    parts = [HEAD]
    parts.append(typed_dict("InputValues", "Every input as a keyword argument, as load_record gives them.",
                            [(key, RECORD_TYPES[item.kind]) for key, item in inputs.items()], total=False))
    parts.append(typed_dict("Totals", "The two totals and their ratio.",
                            [(key, array_type(value)) for key, value in tamrisk.profile()["totals"].items()]))
    parts.append(typed_dict("Profile", "The depth grid, the 14 arrays and the totals.",
                            [(key, array_type(value)) for key, value in tamrisk.profile().items()]))
    parts.append(typed_dict("Curves", "The time grid and the four signal curves.",
                            [(key, array_type(value)) for key, value in tamrisk.curves().items()]))
    parts.append(typed_dict("ScanResult", "The axes, and the totals and their ratio over the grid.",
                            [(key, array_type(value)) for key, value in tamrisk.scan(**small).items()]))
    parts.append("def inputs() -> dict[str, Input]: ...\n")
    parts.append(function("profile", [], "Profile", inputs))
    parts.append(function("curves", [], "Curves", inputs))
    parts.append(function("readouts", [], "dict[str, Readout]", inputs))
    parts.append(function("scan", ["ext: Axis | None = ...", "time: Axis | None = ...", "threads: int | None = ..."],
                          "ScanResult", inputs))
    sweep_own = ["vary: Vary", "columns: str | Sequence[str] | None = ...", "threads: int | None = ..."]
    # The data frame is Any: pandas has no types of its own.
    parts.append(function("sweep", sweep_own + ["as_frame: Literal[False] = ..."], "dict[str, NDArray[Any]]",
                          inputs, overload_=True))
    parts.append(function("sweep", sweep_own + ["as_frame: Literal[True]"], "Any", inputs, overload_=True))
    parts.append(function("sweep", sweep_own + ["as_frame: bool = ..."], "dict[str, NDArray[Any]] | Any",
                          inputs, overload_=True))
    parts.append("def load_record(path: str | PathLike[str]) -> InputValues: ...\n")
    parts.append(function("save_record", [], "None", inputs).replace("(\n    *,", "(\n    path: str | PathLike[str],\n    *,"))
    text = "\n".join(parts).replace("from typing import", "from os import PathLike\nfrom typing import", 1)
    with open(output, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main(sys.argv[1])
