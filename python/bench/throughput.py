#!/usr/bin/env python3
"""The vectorised call against the C++ functions called in a plain loop: a million forward-start
contracts (by default), values compared bit for bit, and the time per contract of each.

    PYTHONPATH=build/default/python python3 python/bench/throughput.py [COUNT] [--mix]

The contracts ask for their values; with --mix, for every result of the method (sensitivities
and implied volatilities included). Each timing is the best of five runs, the C++ loop and the
module taking turns, so that a busy machine slows both alike. The module's call is timed on one
thread (its ratio to the one-threaded C++ loop) and on every core.
"""

import os
import pathlib
import subprocess
import sys
import tempfile
import time

import numpy as np

import quantrel

HERE = pathlib.Path(__file__).resolve()
LOOP = pathlib.Path(os.environ.get(
    "QUANTREL_DIRECT_LOOP", HERE.parents[2] / "build/default/python/quantrel_direct_loop"))


def main():
    numbers = [a for a in sys.argv[1:] if not a.startswith("--")]
    count = int(numbers[0]) if numbers else 1_000_000
    mix = "--mix" in sys.argv
    rng = np.random.default_rng(2026)
    inputs = [
        rng.integers(1, 3, count).astype(np.float64),  # OptionType
        # OptionFunction: the value, or every result (ImpliedVol_FS included)
        rng.integers(1, 10, count).astype(np.float64) if mix else np.ones(count),
        rng.uniform(40, 80, count),  # AssetPrice
        rng.uniform(0.05, 0.5, count),  # TimeStart
        rng.uniform(0.6, 2, count),  # TimeExpire
        rng.uniform(0.1, 0.5, count),  # Volatility
        rng.uniform(0, 0.1, count),  # InterestRate
        rng.uniform(0, 0.05, count),  # YieldRate
        rng.uniform(0.8, 1.2, count),  # Alpha
        rng.uniform(2, 8, count),  # MarketPrice
        np.ones(count),  # TimeFormat: years
        np.zeros(count),  # InterestRateType
        np.zeros(count),  # YieldRateType
    ]
    timings = {"loop": float("inf"), 1: float("inf"), None: float("inf")}
    cpu = {"loop": float("inf"), 1: float("inf")}  # processor time, less hurt by a busy machine
    with tempfile.TemporaryDirectory() as folder:
        given, answer = pathlib.Path(folder, "in.bin"), pathlib.Path(folder, "out.bin")
        given.write_bytes(b"".join(column.tobytes() for column in inputs))
        for _ in range(5):
            done = subprocess.run([str(LOOP), "ForwardStart", str(count), str(given),
                                   str(answer)], check=True, capture_output=True, text=True)
            wall, processor, bound = map(float, done.stdout.split())
            timings["loop"] = min(timings["loop"], wall)
            cpu["loop"] = min(cpu["loop"], processor)
            cpu["bindings"] = min(cpu.get("bindings", bound), bound)
            expected = np.frombuffer(answer.read_bytes(), dtype=np.float64)
            for threads in (1, None):
                start, processor = time.perf_counter(), time.process_time()
                got = quantrel.ForwardStart(*inputs, threads=threads)
                timings[threads] = min(timings[threads], time.perf_counter() - start)
                if threads == 1:
                    cpu[1] = min(cpu[1], time.process_time() - processor)
                if got.tobytes() != expected.tobytes():
                    differ = np.flatnonzero(got.view(np.uint64) != expected.view(np.uint64))
                    sys.exit("%d values differ from the C++ loop's, the first at %d"
                             % (len(differ), differ[0]))
    loop_seconds = timings.pop("loop")
    failed = int(np.isnan(expected).sum())
    print("%d contracts (%d failed in both), every value equal to the C++ loop's bit for bit"
          % (count, failed))
    print("C++ loop, 1 thread:       %.3f s  %6.1f ns per contract" %
          (loop_seconds, 1e9 * loop_seconds / count))
    print("processor time, 1 thread: C++ loop %.3f s, C++ loop through the bindings %.3f s, "
          "Python %.3f s (%.2f x the C++ loop's throughput, %.2f x the bindings loop's)"
          % (cpu["loop"], cpu["bindings"], cpu[1], cpu["loop"] / cpu[1],
             cpu["bindings"] / cpu[1]))
    for threads, seconds in timings.items():
        label = "Python, %s:" % ("1 thread" if threads else "%d threads" % os.cpu_count())
        print("%-25s %.3f s  %6.1f ns per contract  (%.2f x the C++ loop's throughput)" %
              (label, seconds, 1e9 * seconds / count, loop_seconds / seconds))


if __name__ == "__main__":
    main()
