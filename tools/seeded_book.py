#!/usr/bin/env python3
"""Writes a reproducible random book for `quantrel batch`: every available method, every result
code, ordinary and extreme contracts, a share of invalid inputs. Pricing the same book with two
builds and comparing the outputs byte for byte shows that a change kept every number.

  tools/seeded_book.py [--rows N] [--seed S] [--program PATH] > book.csv
"""
import argparse
import random
import re
import subprocess
import sys

# Ordinary ranges by input name; anything else gets a price-like number.
RANGES = {
    "AssetPrice": (1, 200), "StrikePrice": (1, 200), "AssetMinMax": (1, 200),
    "AveragePrice": (1, 200), "StrikeCall": (1, 200), "StrikePut": (1, 200),
    "StrikeOption": (0.5, 30), "StrikeUnderly": (1, 200), "StrikeInitial": (1, 200),
    "StrikeExtended": (1, 200), "Volatility": (0.001, 1.5), "InterestRate": (0.0, 0.2),
    "YieldRate": (-0.05, 0.2), "JumpRate": (0.0, 0.3), "Alpha": (0.5, 1.5),
    "Lambda": (0.5, 1.5), "AccruedAmt": (0.1, 10), "MarketPrice": (0.0, 40),
}
LATE = ("TimeExpire", "TimeCall", "TimePut", "TimeExtended")
EARLY = ("TimeStart", "TimeChoose", "TimeOption", "TimeInitial", "Time1stPeriod",
         "TimeToAverage", "TimeInterval")
HOSTILE = ("0", "-1", "1e308", "-0", "inf", "nan", "1e-300", "2e7")


def catalogue(program):
    methods = subprocess.run([program, "list"], capture_output=True, text=True, check=True)
    out = {}
    for line in methods.stdout.splitlines():
        name = line.split()[0]
        text = subprocess.run([program, "help", name], capture_output=True, text=True,
                              check=True).stdout
        inputs = []
        for m in re.finditer(r"^\s+\d+\s+(\w+)\s+(\w+)(?: \(([^)]*)\))?", text, re.M):
            members = [p.split("=") for p in m.group(3).split(", ")] if m.group(3) else []
            inputs.append((m.group(1), m.group(2), members))
        out[name] = inputs
    return out


def value(rng, name, kind, members, years, expiry):
    if members:
        name, number = rng.choice(members)
        return name if rng.random() < 0.8 else number
    if kind == "int32":
        return str(rng.choice([0, 1, 2, 5, 10, 100]))
    if rng.random() < 0.02:
        return rng.choice(HOSTILE)
    if name in LATE or name in EARLY:
        t = rng.uniform(0.001, 3) if rng.random() < 0.9 else rng.uniform(1e-8, 0.01)
        if rng.random() < 0.9:  # mostly dates in order: intermediate ones inside the life
            t = expiry * (rng.uniform(0, 0.8) if name in EARLY else rng.uniform(0.8, 1.2))
        return repr(round(t if years else t * 365, 6))
    lo, hi = RANGES.get(name, (1, 150))
    return repr(round(rng.uniform(lo, hi), 6))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--rows", type=int, default=200000)
    parser.add_argument("--seed", type=int, default=20261208)
    parser.add_argument("--program", default="build/default/tools/quantrel/quantrel")
    args = parser.parse_args()
    rng = random.Random(args.seed)
    cat = catalogue(args.program)
    columns = sorted({i[0] for inputs in cat.values() for i in inputs})
    out = sys.stdout
    out.write("Id,Method," + ",".join(columns) + "\n")
    names = sorted(cat)
    for row in range(args.rows):
        method = names[row % len(names)]
        cells = {}
        years = rng.random() < 0.5
        expiry = rng.uniform(0.001, 3) if rng.random() < 0.9 else rng.uniform(1e-8, 0.01)
        for name, kind, members in cat[method]:
            if name == "TimeFormat":
                cells[name] = "Years" if years else "Days"
                continue
            cells[name] = value(rng, name, kind, members, years, expiry)
        out.write(f"{row},{method}," + ",".join(cells.get(c, "") for c in columns) + "\n")


if __name__ == "__main__":
    main()
