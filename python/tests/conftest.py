"""Shared helpers: the quantrel program and the C++ reference loop the package is compared with,
and the example books as rows to price."""

import io
import os
import pathlib
import subprocess

import numpy as np
import pandas as pd
import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = ROOT / "build" / "default"


def _tool(variable, relative):
    path = pathlib.Path(os.environ.get(variable, BUILD / relative))
    if not path.exists():
        pytest.skip("%s is not built (%s)" % (relative, path))
    return path


@pytest.fixture(scope="session")
def program():
    return _tool("QUANTREL_PROGRAM", "tools/quantrel/quantrel")


@pytest.fixture(scope="session")
def direct_loop():
    return _tool("QUANTREL_DIRECT_LOOP", "python/quantrel_direct_loop")


def run_batch(program, df, tmp_path):
    """The program's answer for a book: its output read back as text, cell for cell."""
    book = tmp_path / "book.csv"
    df.to_csv(book, index=False, lineterminator="\n")
    done = subprocess.run([str(program), "batch", str(book)], capture_output=True, text=True)
    assert done.returncode in (0, 1), done.stderr
    return pd.read_csv(io.StringIO(done.stdout), dtype=str, keep_default_na=False)


def assert_same_rows(priced, expected):
    """A priced frame gives exactly the program's output rows: the same results to the bit, the
    same statuses and messages, every carried column."""
    assert len(priced) == len(expected)
    results = expected["Result"].map(lambda s: float(s) if s else np.nan).to_numpy()
    np.testing.assert_array_equal(priced["Result"].to_numpy(), results)
    assert list(priced["Status"]) == list(expected["Status"])
    assert list(priced["Message"]) == list(expected["Message"])
    for column in expected.columns[:-3]:
        cells = priced[column].map(lambda v: "" if pd.isna(v) else str(v))
        assert list(cells) == list(expected[column]), column


def simulates(method_name):
    """Whether the catalogue describes the method as Monte Carlo: its values vary from run to
    run without a fixed seed, so they are compared with no other run."""
    from quantrel import _core
    return any(m["name"].lower() == method_name.strip().lower() and
               "monte carlo" in m["help"].lower() for m in _core.methods())


def example_rows():
    """Every row of the bundled example books, as text cells."""
    rows = []
    for book in sorted((ROOT / "examples").glob("*.csv")):
        df = pd.read_csv(book, dtype=str, keep_default_na=False)
        rows += [(book.name, row) for _, row in df.iterrows()]
    return rows
