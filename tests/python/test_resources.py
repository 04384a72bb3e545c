# SPDX-License-Identifier: GPL-3.0-or-later
"""Memory, threads and the GIL: 10^5 calls leave the memory as it was, scans from four Python
threads at once give the one result, a long computation lets other Python threads run, and
Ctrl-C stops it."""

import _thread
import os
import threading
import time

import numpy as np
import pytest

import tamrisk


def resident_bytes():
    with open("/proc/self/statm", encoding="ascii") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def calls(count):
    """count calls of every kind: results, named tuples, records of a sweep, and refusals."""
    for k in range(count // 4):
        profile = tamrisk.profile(rate1=0.05 + k % 7 / 100, show=["showIntensity"])
        assert profile["depth_mm"].shape == (400,)
        assert tamrisk.readouts(extinction_pos=k % 200)["eff_ratio"].text
        assert len(tamrisk.sweep(vary={"eval_time": (1.0, 100.0, 3)}, threads=1)["eff_ratio"]) == 4
        try:
            tamrisk.profile(eval_tme=1.0)
        except TypeError:
            pass


def test_a_hundred_thousand_calls_leave_the_memory_flat():
    calls(4000)  # allocators and caches settle first
    before = resident_bytes()
    calls(100_000)
    growth = resident_bytes() - before
    # One leaked profile array per call would be 160 MB, one leaked message 5 MB.
    assert growth < 4 << 20, f"resident memory grew by {growth / 2**20:.1f} MiB"


def test_scans_from_four_threads_at_once_give_one_result():
    axes = {"ext": (0.05, 500.0, 60, True), "time": (1.0, 1e5, 80, True), "transparency_correction": True}
    expected = tamrisk.scan(threads=1, **axes)
    results = [None] * 4
    start = threading.Barrier(4)

    def run(k):
        start.wait()
        results[k] = tamrisk.scan(threads=1 + k % 3, **axes)

    threads = [threading.Thread(target=run, args=(k,)) for k in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    for result in results:
        assert result is not None and list(result) == list(expected)
        for name, values in expected.items():
            assert np.array_equal(result[name].view(np.uint8), values.view(np.uint8)), name


def test_a_long_sweep_lets_other_threads_run():
    done = threading.Event()

    def sweep():
        tamrisk.sweep(vary={"rate1": "0.01:1:40:log", "dose_rate": "0:2:40", "eval_time": (1, 1e5, 400, True)},
                      threads=1)
        done.set()

    worker = threading.Thread(target=sweep)
    worker.start()
    turns = 0
    while not done.is_set():
        turns += 1
        done.wait(0.0005)
    worker.join()
    # Holding the GIL for the whole sweep would leave this thread a handful of turns at most.
    assert turns > 50, f"{turns} turns while the sweep ran"


@pytest.mark.parametrize("threads", [1, 2, 7])
def test_the_number_of_threads_changes_no_bit(threads):
    vary = {"extinction": "0.1:100:9:log", "transparency_correction": "0,1", "eval_time": (1, 1e4, 70, True)}
    expected = tamrisk.sweep(vary=vary, threads=1)
    result = tamrisk.sweep(vary=vary, threads=threads)
    for name, values in expected.items():
        assert np.array_equal(result[name].view(np.uint8), values.view(np.uint8)), name


def test_ctrl_c_stops_a_long_sweep():
    # About 10^5 model runs with their read-outs: seconds of work, stopped after 0.2 s.
    timer = threading.Timer(0.2, _thread.interrupt_main)
    start = time.monotonic()
    timer.start()
    try:
        tamrisk.sweep(vary={"dose_rate": "0:2:100000"}, columns=["signal_axis_max"], threads=1)
        stopped = False
    except KeyboardInterrupt:
        stopped = True
    timer.join()
    assert stopped, "the sweep ran to its end"
    assert time.monotonic() - start < 2.0
