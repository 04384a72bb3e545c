# SPDX-License-Identifier: GPL-3.0-or-later
"""Parameter records: a run of the tool replayed from its --record, and records written here
that the tool's --params takes."""

import json
import re

import numpy as np
import pytest

import tamrisk
from clitables import assert_same_bits, parse, read_table, run_cli

# Options of a recorded run: texts the window reads as they stand, flags, positions, curves.
RUN = ["--top", "0.10", "--bottom", "1.75", "--rate1", "2e-1", "--curve-step", "7", "--extinction-pos", "50",
       "--transparency-correction", "--eval-time", "321.5", "--show", "showIntensity,showTotalSignalNat",
       "--ext-steps", "4", "--time-log", "0", "--rate2", "0.5x"]


def profile_table(*args):
    header, cells = read_table(run_cli("export", "--format", "csv", "-o", "-", *args))
    return {name: parse(cells[name], np.float32) for name in header}


def test_a_record_of_the_tool_reproduces_its_run(tmp_path):
    record = tmp_path / "run.json"
    expected = profile_table(*RUN, "--record", str(record))
    inputs = tamrisk.load_record(record)
    with pytest.warns(UserWarning, match="rate2 '0.5x' is read as 0.5"):
        profile = tamrisk.profile(**inputs)
    for name, values in expected.items():
        assert_same_bits(profile[name], values, name)
    # Numbers come back as numbers, the text read in part as its text.
    assert inputs["top"] == 0.1 and inputs["rate1"] == 0.2 and inputs["curve_step"] == 7
    assert inputs["extinction_pos"] == 50 and inputs["transparency_correction"] is True
    assert inputs["eval_time"] == 321.5 and inputs["extinction"] is None and inputs["ext_log"] is True
    assert inputs["time_log"] is False and inputs["rate2"] == "0.5x"
    assert inputs["show"] == ["showIntensity", "showTotalSignalNat"]
    assert list(inputs) == list(tamrisk.inputs())


def test_a_saved_record_is_taken_by_the_tools_params(tmp_path):
    inputs = {"top": 0.2, "bottom": "1.9", "rate1": np.float32(0.3), "curve_step": 4, "dose_rate_pos": 150,
              "transparency_correction": True, "depth": 0.75, "show": "showLabDose", "ext_log": False}
    record = tmp_path / "saved.json"
    tamrisk.save_record(record, **inputs)
    document = json.loads(record.read_text(encoding="utf-8"))
    assert document["program"] == "tamrisk-python" and document["version"] == tamrisk.__version__
    expected = profile_table("--params", str(record))
    profile = tamrisk.profile(**inputs)
    for name, values in expected.items():
        assert_same_bits(profile[name], values, name)
    # Read back, the record gives the same inputs.
    again = tamrisk.load_record(str(record))
    assert tamrisk.readouts(**again) == tamrisk.readouts(**inputs)
    assert again["rate1"] == float(np.float32(0.3)) and again["bottom"] == 1.9 and again["show"] == ["showLabDose"]


def test_record_of_the_params_command_and_a_bare_inputs_object(tmp_path):
    params = tmp_path / "params.json"
    params.write_text(run_cli("params", "--rate1", "0.125", "--no-auto-profile"), encoding="utf-8")
    inputs = tamrisk.load_record(params)
    assert inputs["rate1"] == 0.125 and inputs["auto_profile"] is False
    bare = tmp_path / "bare.json"
    bare.write_text('{"rate1": {"text": "0.5"}, "show": ["showRatio"]}', encoding="utf-8")
    inputs = tamrisk.load_record(bare)
    assert inputs["rate1"] == 0.5 and inputs["show"] == ["showRatio"] and inputs["top"] == 0.0


REFUSED_RECORDS = {
    "not JSON": ("{rate1: 0.5", "is not a JSON object"),
    "a list": ("[1, 2]", "is not a JSON object"),
    "unknown input": ('{"inputs": {"tpo": {"text": "1"}}}', 'unknown input "tpo"'),
    "position beyond its slider": ('{"inputs": {"extinction-pos": {"text": "300"}}}',
                                   'input "extinction-pos" has no acceptable "text"'),
    "unknown curve": ('{"inputs": {"show": ["showNothing"]}}', '"show" names no curve "showNothing"'),
    "nested too deep": ("[" * 100 + "]" * 100, "is nested more than 64 levels deep"),
}


@pytest.mark.parametrize("case", list(REFUSED_RECORDS))
def test_records_the_tool_refuses_are_refused(tmp_path, case):
    text, words = REFUSED_RECORDS[case]
    path = tmp_path / "bad.json"
    path.write_text(text, encoding="utf-8")
    with pytest.raises(ValueError, match=re.escape(words)):
        tamrisk.load_record(path)


def test_a_missing_record_is_an_os_error(tmp_path):
    with pytest.raises(FileNotFoundError):
        tamrisk.load_record(tmp_path / "none.json")
    with pytest.raises(OSError):
        tamrisk.save_record(tmp_path / "no" / "such" / "folder.json", top=0.5)
