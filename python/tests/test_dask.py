"""Dask books on a local cluster: the single-machine answers, partition by partition."""

import numpy as np
import pandas as pd
import pytest

dd = pytest.importorskip("dask.dataframe")
distributed = pytest.importorskip("dask.distributed")

import quantrel  # noqa: E402
import quantrel.dask  # noqa: E402

from conftest import assert_same_rows, run_batch  # noqa: E402
from test_frames import mixed_book  # noqa: E402


@pytest.fixture(scope="module")
def client():
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster:
        with distributed.Client(cluster) as c:
            yield c


def test_a_book_on_the_workers_gives_the_programs_rows(client, program, tmp_path):
    book = pd.concat([mixed_book()] * 20, ignore_index=True)
    book["AssetPrice"] = book["AssetPrice"] + np.arange(len(book)) / 8
    ddf = dd.from_pandas(book, npartitions=5)
    priced = quantrel.dask.price_frame(ddf)
    assert isinstance(priced, dd.DataFrame) and priced.npartitions == 5
    assert list(priced.columns) == list(book.columns) + ["Result", "Status", "Message"]
    local = priced.compute()
    # The partitions were priced on the cluster's worker processes.
    assert all(client.run(lambda: "quantrel._core" in __import__("sys").modules).values())
    pd.testing.assert_frame_equal(local, quantrel.price_frame(book))
    assert_same_rows(local, run_batch(program, book, tmp_path))


def test_a_bad_header_raises_before_anything_runs(client):
    ddf = dd.from_pandas(pd.DataFrame({"Method": ["ForwardStart"], "Time Format": [1]}),
                         npartitions=1)
    with pytest.raises(ValueError, match="misspells the input TimeFormat"):
        quantrel.dask.price_frame(ddf)
    with pytest.raises(TypeError):
        quantrel.dask.price_frame(pd.DataFrame({"Method": ["ForwardStart"]}))
