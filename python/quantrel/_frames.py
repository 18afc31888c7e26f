"""DataFrame books, priced as the quantrel program prices a CSV book."""

import numpy as np
import pandas as pd

from . import _core

# A carried column added to every row, so that no row is blank (the program skips blank lines;
# a frame's rows are all answered) and each answer can be checked against its row.
_ROW = "_quantrel_row_"


# The columns the program reads cells from: Method and the inputs, named in any case with blanks
# around. Every other column is carried, its cells never read, so they are not written out.
_ASCII_LOWER = str.maketrans("ABCDEFGHIJKLMNOPQRSTUVWXYZ", "abcdefghijklmnopqrstuvwxyz")


def _fold(name):
    return name.strip(" \t").translate(_ASCII_LOWER)


_READ = {"method"} | {_fold(i["name"]) for m in _core.methods() for i in m["inputs"]}


def _cells(column):
    """A column's cells as the program would read them from the frame written as CSV."""
    kind = column.dtype.kind
    missing = column.isna().to_numpy()
    if kind == "f":
        return column.to_numpy(dtype=np.float64, na_value=np.nan)
    if kind in "iu" and not missing.any() and not (
            kind == "u" and len(column) and column.max() > np.iinfo(np.int64).max):
        return column.to_numpy(dtype=np.int64)
    return ["" if gone else str(value) for value, gone in zip(column.to_numpy(object), missing)]


def price_frame(df, threads=None):
    """Prices a book held in a pandas DataFrame, one contract per row.

    The frame is read as `quantrel batch` reads a CSV book: a `Method` column, a column per input
    name (any case), a missing value or an empty cell for an omitted input, enumerations by member
    name or number, and any other column carried through. Returns a copy of the frame with
    `Result` (NaN where the row failed), `Status` ("0" or the error code in hexadecimal) and
    `Message` added: every row, in order, with the program's results, statuses and messages.
    A header the program refuses (no Method column, a misspelt input) raises ValueError.
    """
    if not isinstance(df, pd.DataFrame):
        raise TypeError("price_frame takes a pandas DataFrame")
    names = [str(c) for c in df.columns]
    if _ROW in names:
        raise ValueError("the column name %s is reserved" % _ROW)
    columns = [_cells(df.iloc[:, i]) if _fold(name) in _READ else None
               for i, name in enumerate(names)]
    fatal, results, statuses, messages = _core.price_columns(
        names + [_ROW], columns + [np.arange(len(df), dtype=np.int64)], len(df),
        int(threads or 0))
    if fatal:
        raise ValueError(fatal)
    if len(results) != len(df):
        raise RuntimeError("the book gave %d answers for %d rows" % (len(results), len(df)))
    out = df.copy()
    out["Result"] = results
    out["Status"] = pd.Series(statuses, index=df.index, dtype=object)
    out["Message"] = pd.Series(messages, index=df.index, dtype=object)
    return out


def result_meta(meta):
    """The columns price_frame gives a frame with the columns of `meta` (an empty frame)."""
    out = meta.copy()
    out["Result"] = pd.Series(dtype=np.float64)
    out["Status"] = pd.Series(dtype=object)
    out["Message"] = pd.Series(dtype=object)
    return out
