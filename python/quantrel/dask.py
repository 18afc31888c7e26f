"""Books beyond one machine: a Dask DataFrame book priced partition by partition on the workers
of a Dask cluster.

    from dask.distributed import Client
    import dask.dataframe as dd
    import quantrel.dask

    client = Client("tcp://scheduler-host:8786")   # or Client(LocalCluster()) on this machine
    book = dd.read_csv("book-*.csv", dtype=str, keep_default_na=False)
    priced = quantrel.dask.price_frame(book)        # lazy, like every Dask DataFrame
    priced.to_csv("priced-*.csv", index=False)      # or priced.compute()

Every worker needs the quantrel package (and the library beside it) importable, the same build
on every machine: install it on each worker host, or point PYTHONPATH at a shared build.
"""

import dask.dataframe as dd

from ._frames import price_frame as _price_partition
from ._frames import result_meta as _result_meta


def price_frame(ddf, threads=None):
    """Prices a Dask DataFrame book as quantrel.price_frame prices a pandas one, one partition
    at a time on the cluster's workers; returns a Dask DataFrame with `Result`, `Status` and
    `Message` added, partitioned as the book is.

    The header is checked here, before anything runs: a header the program refuses raises
    ValueError at once. `threads` is the number of pricing threads per partition (default: every
    core of the worker).
    """
    if not isinstance(ddf, dd.DataFrame):
        raise TypeError("quantrel.dask.price_frame takes a Dask DataFrame")
    meta = _result_meta(ddf._meta)
    _price_partition(ddf._meta, threads)  # an empty book: raises for a header the program refuses
    return ddf.map_partitions(_price_partition, threads, meta=meta, align_dataframes=False)
