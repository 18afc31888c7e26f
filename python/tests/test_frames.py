"""DataFrame books: the program's output rows, every row in order, whatever the frame holds."""

import numpy as np
import pandas as pd
import pytest

import quantrel

from conftest import ROOT, assert_same_rows, run_batch, simulates


def mixed_book():
    """Good and bad rows of two methods, typed as a frame types them."""
    return pd.DataFrame({
        "Id": ["a", "b", "c", "d", "e", "f", "g", "h", "i"],
        "Method": ["ForwardStart", "forwardstart", "Chooser", "ForwardStart", "NoSuchMethod",
                   "", "Chooser", "ForwardStart", " Chooser "],
        "OptionType": ["CallOption", "2", None, "PutOption", "CallOption", None, None, "Call",
                       None],
        "OptionFunction": ["Theoretical_FS", "Delta_FS", "Gamma", "Vega_FS", "Theoretical", None,
                           "Theoretical", "Theoretical_FS", "theta"],
        "AssetPrice": [60.0, 61.5, 100.0, 60.0, 60.0, np.nan, 100.0, 60.0, 0.1 + 0.2],
        "StrikePrice": [np.nan, np.nan, 95.0, np.nan, np.nan, np.nan, 100.0, np.nan, 101.0],
        "TimeStart": [0.25, 0.25, np.nan, 1.5, 0.25, np.nan, np.nan, 0.25, np.nan],
        "TimeChoose": [np.nan, np.nan, 0.25, np.nan, np.nan, np.nan, 0.5, np.nan, 1 / 3],
        "TimeExpire": [1.0, 1.0, 1.0, 1.0, 1.0, np.nan, 0.25, 1.0, 1.0],
        "Volatility": [0.3, 0.3, 0.25, 0.3, 0.3, np.nan, 0.2, 0.3, 0.2],
        "InterestRate": [0.08, 0.08, 0.05, 0.08, 0.08, np.nan, 0.05, 0.08, 0.05],
        "YieldRate": [0.04, 0.04, 0.0, 0.04, 0.04, np.nan, 0.0, 0.04, 0.01],
        "Alpha": [1.1, 1.1, 2.0, 1.1, 1.1, np.nan, np.nan, 1.1, np.nan],
        "TimeFormat": ["Years", "1", 1, "Years", 1, None, 1, 1, "years"],
        "Quantity": [1, 2, 3, 4, 5, 6, 7, 8, 9],
    }, index=[10, 11, 12, 13, 14, 15, 16, 17, 18])


def test_a_mixed_book_gives_the_programs_rows(program, tmp_path):
    book = mixed_book()
    priced = quantrel.price_frame(book)
    assert list(priced.columns) == list(book.columns) + ["Result", "Status", "Message"]
    assert list(priced.index) == list(book.index)
    pd.testing.assert_frame_equal(priced[book.columns], book)  # carried as they were
    assert_same_rows(priced, run_batch(program, book, tmp_path))
    failed = priced[priced.Status != "0"]
    assert list(failed.Id) == ["c", "d", "e", "f", "g", "h"]
    assert priced.Message[14] == "unknown method 'NoSuchMethod'"
    assert priced.Message[15] == "no method given"


def test_the_example_books(program, tmp_path):
    for path in sorted((ROOT / "examples").glob("*.csv")):
        book = pd.read_csv(path, dtype=str, keep_default_na=False)
        book = book[~book.Method.map(simulates)].reset_index(drop=True)
        assert_same_rows(quantrel.price_frame(book), run_batch(program, book, tmp_path))


def test_nullable_and_category_columns(program, tmp_path):
    book = mixed_book()
    book["TimeFormat"] = pd.array([1, 1, 1, None, 1, None, 1, 1, 0], dtype="Int64")
    book["AssetPrice"] = book["AssetPrice"].astype("Float64")
    book["Method"] = book["Method"].astype("category")
    assert_same_rows(quantrel.price_frame(book), run_batch(program, book, tmp_path))


def test_a_row_with_nothing_in_it_is_answered():
    # The program skips blank lines; a frame's row is answered.
    blank = pd.DataFrame({"Method": [None, "ForwardStart"], "Note": [None, "x"]})
    priced = quantrel.price_frame(blank)
    assert list(priced.Status) == ["0x80020006", "0x8002000F"]
    assert priced.Message[0] == "no method given"


def test_a_header_the_program_refuses_raises():
    with pytest.raises(ValueError, match="no Method column"):
        quantrel.price_frame(pd.DataFrame({"AssetPrice": [1.0]}))
    with pytest.raises(ValueError, match='"Asset_Price", misspells the input AssetPrice'):
        quantrel.price_frame(pd.DataFrame({"Method": ["ForwardStart"], "Asset_Price": [1.0]}))
    with pytest.raises(ValueError, match="reserved"):
        quantrel.price_frame(pd.DataFrame({"Method": ["x"], "_quantrel_row_": [1]}))
    with pytest.raises(TypeError):
        quantrel.price_frame([{"Method": "ForwardStart"}])


def test_an_empty_book():
    priced = quantrel.price_frame(pd.DataFrame({"Method": pd.Series([], dtype=object)}))
    assert list(priced.columns) == ["Method", "Result", "Status", "Message"]
    assert len(priced) == 0


def test_cells_are_read_as_the_program_reads_the_frame_written_as_csv(program, tmp_path):
    # Messages quote the cell: numbers must be written as pandas writes them.
    awkward = [1e15, 1e16, 0.1, 1e-5, 1.5e10, -0.0, np.inf, np.nan, 0.1 + 0.2, 5e-324, 3e9, 2.0]
    book = pd.DataFrame({"Method": "TimeSwitch", "OptionType": 1, "OptionFunction": 1,
                         "AssetPrice": 100.0, "StrikePrice": 100, "TimeExpire": 1.0,
                         "NumTimeUnits": awkward, "AccruedAmt": 5, "TimeInterval": 1 / 365,
                         "Volatility": 0.3, "InterestRate": 0.05, "YieldRate": 0.02,
                         "TimeFormat": awkward, "Note": 'a, "quoted"\nnote'})
    priced = quantrel.price_frame(book)
    assert_same_rows(priced, run_batch(program, book, tmp_path))
    assert priced.Message[0] == ("input NumTimeUnits: '1000000000000000.0' is not a whole "
                                 "number")
