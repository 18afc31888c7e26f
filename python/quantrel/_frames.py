"""DataFrame books, priced as the quantrel program prices a CSV book."""

import numpy as np
import pandas as pd

from . import _core

# A carried column added to every row, so that no row is blank (the program skips blank lines;
# a frame's rows are all answered) and each answer can be checked against its row.
_ROW = "_quantrel_row_"


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
    book = pd.DataFrame({i: df.iloc[:, i] for i in range(df.shape[1])})
    book.columns = names
    book[_ROW] = np.arange(len(book))
    text = book.to_csv(index=False, lineterminator="\n")
    fatal, results, statuses, messages = _core.price_csv(text, int(threads or 0))
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
