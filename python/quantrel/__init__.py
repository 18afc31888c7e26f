"""Pricing models for exotic options.

Every available pricing method of the library is a function of this module, built when it is
imported from the library's catalogue: keyword arguments named as the catalogue names the inputs,
enumerations by member name or number, optional inputs with their defaults. Any input may be a
numpy array; inputs broadcast and the loop runs in C++ on several threads.

    >>> import quantrel
    >>> quantrel.ForwardStart(OptionType="CallOption", OptionFunction="Theoretical_FS",
    ...     AssetPrice=60, TimeStart=0.25, TimeExpire=1, Volatility=0.3, InterestRate=0.08,
    ...     YieldRate=0.04, Alpha=1.1, TimeFormat="Years")

`price_frame` prices a pandas DataFrame book as `quantrel batch` prices a CSV book,
`quantrel.dask.price_frame` a Dask DataFrame book on a cluster, and `plot_curve` draws a value or
a sensitivity against one input.
"""

from ._calls import (
    Priced,
    PricingError,
    enumeration,
    error_codes,
    methods,
    _install_methods,
)
from ._frames import price_frame
from .plot import plot_curve

__all__ = [
    "Priced",
    "PricingError",
    "enumeration",
    "error_codes",
    "methods",
    "plot_curve",
    "price_frame",
]
__all__ += _install_methods(globals())
