# SPDX-License-Identifier: GPL-3.0-or-later
"""Inputs the tool refuses are refused here too, with its words: unknown names with the nearest
one, values of the wrong type, NaN where an axis needs finite ends."""

import re
import warnings

import pytest

import tamrisk

NAN = float("nan")
INF = float("inf")

# function, keyword arguments, exception, words of the message
REFUSED = {
    "mistyped input": (tamrisk.profile, {"eval_tme": 1.0}, TypeError, "unknown input 'eval_tme' (did you mean 'eval_time'?)"),
    "the tool's spelling": (tamrisk.curves, {"eval-time": 1.0}, TypeError, "did you mean 'eval_time'?"),
    "far from any name": (tamrisk.readouts, {"colour": 1}, TypeError, "unknown input 'colour'"),
    "scan's own argument mistyped": (tamrisk.scan, {"thread": 2}, TypeError, "did you mean 'threads'?"),
    "list for a number": (tamrisk.profile, {"top": [1.0]}, TypeError, "top takes a number"),
    "bool for a number": (tamrisk.profile, {"rate1": True}, TypeError, "rate1 takes a number"),
    "float for a whole number": (tamrisk.profile, {"curve_step": 2.5}, TypeError, "curve_step takes a whole number"),
    "float for a position": (tamrisk.profile, {"extinction_pos": 10.0}, TypeError, "slider position"),
    "position beyond the slider": (tamrisk.profile, {"extinction_pos": 201}, ValueError,
                                   "extinction_pos: '201' is not an integer from 0 to 200"),
    "negative position": (tamrisk.readouts, {"depth_pos": "-1"}, ValueError, "is not an integer from 0 to 200"),
    "switch of 2": (tamrisk.profile, {"transparency_correction": 2}, ValueError, "is not one of 0, 1"),
    "switch as a float": (tamrisk.profile, {"auto_signal": 1.0}, TypeError, "takes True or False"),
    "text that is no number": (tamrisk.profile, {"extinction": "ten"}, ValueError, "extinction: 'ten' is not a number"),
    "list for a direct value": (tamrisk.profile, {"eval_time": [1]}, TypeError, "eval_time takes a number or None"),
    "unknown curve": (tamrisk.profile, {"show": ["showIntensty"]}, ValueError,
                      "show: 'showIntensty' is not one of showIntensity,"),
    "curve name that is no text": (tamrisk.profile, {"show": [1]}, TypeError, "show takes curve names"),
    "NaN extinction axis": (tamrisk.scan, {"ext": (NAN, 10.0, 4)}, ValueError,
                            "the grid is refused: the extinction axis (ext_start, ext_end): start and end must be "
                            "finite numbers (in single precision)"),
    "time axis beyond single precision": (tamrisk.scan, {"time": (1.0, 1e39, 4)}, ValueError,
                                          "the evaluation-time axis (time_start, time_end): start and end must be finite"),
    "logarithmic axis through 0": (tamrisk.scan, {"ext_start": 0.0, "ext_log": True}, ValueError,
                                   "a logarithmic axis needs a start and an end above 0"),
    "axis given twice": (tamrisk.scan, {"ext": (1, 2, 3), "ext_steps": 4}, TypeError, "not both"),
    "axis of two values": (tamrisk.scan, {"time": (1, 2)}, ValueError, "takes (start, end, steps)"),
    "no threads": (tamrisk.scan, {"threads": 0}, ValueError, "threads: value 0 not in range [1 - 1024]"),
    "threads as text": (tamrisk.scan, {"threads": "2"}, TypeError, "threads takes an int or None"),
    "NaN sweep axis": (tamrisk.sweep, {"vary": {"rate1": (NAN, 1.0, 3)}}, ValueError,
                       "--vary rate1: start and end must be finite numbers (in single precision)"),
    "NaN in the tool's text": (tamrisk.sweep, {"vary": ["rate1=nan:1:3"]}, ValueError, "must be finite"),
    "mistyped sweep input": (tamrisk.sweep, {"vary": {"rat1": "0:1:3"}}, ValueError,
                             "vary: 'rat1' is not an input that can be varied (did you mean 'rate1'?)"),
    "input that cannot be varied": (tamrisk.sweep, {"vary": {"curve_step": "1:4:3"}}, ValueError,
                                    "'curve-step' is not an input that can be varied"),
    "mistyped read-out": (tamrisk.sweep, {"vary": {"rate1": "0:1:3"}, "columns": ["eff_rati"]}, ValueError,
                          "--columns: 'eff_rati' is not a read-out (did you mean 'eff_ratio'?)"),
    "read-out that is a column already": (tamrisk.sweep, {"vary": {"rate1": "0:1:3"}, "columns": "eff_ratio"},
                                          ValueError, "columns: 'eff_ratio' is a column of the sweep already"),
    "input varied twice": (tamrisk.sweep, {"vary": ["rate1=0:1:3", "rate1=0:2:3"]}, ValueError, "is given twice"),
    "nothing varied": (tamrisk.sweep, {"vary": {}}, ValueError, "give at least one axis"),
    "switch state 2": (tamrisk.sweep, {"vary": {"transparency_correction": "0,2"}}, ValueError,
                       "a switch takes 0, 1 or 0,1, not '0,2'"),
    "steps as a float": (tamrisk.sweep, {"vary": {"rate1": (0.0, 1.0, 2.5)}}, TypeError, "steps takes a whole number"),
    "scale that is neither": (tamrisk.sweep, {"vary": ["rate1=0.1:1:3:ln"]}, ValueError, "the scale is log or lin"),
    "vary as a number": (tamrisk.sweep, {"vary": 3}, TypeError, "vary takes a dict"),
    "frame as a text": (tamrisk.sweep, {"vary": {"rate1": "0:1:3"}, "as_frame": "yes"}, TypeError,
                        "as_frame takes True or False"),
}


@pytest.mark.parametrize("case", list(REFUSED))
def test_refused_with_the_tools_words(case):
    function, kwargs, error, words = REFUSED[case]
    with pytest.raises(error, match=re.escape(words)):
        function(**kwargs)


def test_positional_arguments_are_refused():
    with pytest.raises(TypeError):
        tamrisk.profile(1.0)  # type: ignore[misc]


def test_text_read_in_part_warns_as_the_tool_does_and_is_read_as_the_window_reads_it():
    with pytest.warns(UserWarning, match=re.escape("top '0.5mm' is read as 0.5, as the window reads it")):
        part = tamrisk.profile(top="0.5mm")
    assert (part["depth_mm"] == tamrisk.profile(top=0.5)["depth_mm"]).all()
    with pytest.warns(UserWarning, match=re.escape("curve_step '4.5' is read as 4")):
        tamrisk.profile(curve_step="4.5")


def test_numbers_and_their_texts_give_the_same_run():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        as_numbers = tamrisk.readouts(top=0.1, rate1=0.25, curve_step=3, extinction_pos=57, eval_time=250)
        as_texts = tamrisk.readouts(top="0.1", rate1="0.25", curve_step="3", extinction_pos="57", eval_time="250")
    assert as_numbers == as_texts


def test_a_refused_input_leaves_no_state_behind():
    with pytest.raises(ValueError):
        tamrisk.profile(rate1=0.5, extinction_pos=500)
    assert tamrisk.readouts() == tamrisk.readouts(rate1=0.05)
