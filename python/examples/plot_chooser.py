#!/usr/bin/env python3
"""The value, delta and gamma of a simple chooser option against the asset price, and its value
against the time to expiry, written as PNG pictures.

    PYTHONPATH=build/default/python python3 python/examples/plot_chooser.py [FOLDER]
"""

import pathlib
import sys

import quantrel

folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")
folder.mkdir(parents=True, exist_ok=True)

# Choose between a call and a put struck at 100 in three months; both expire in a year.
contract = dict(StrikePrice=100, TimeChoose=0.25, TimeExpire=1, Volatility=0.3,
                InterestRate=0.05, YieldRate=0.02, TimeFormat="Years")

quantrel.plot_curve("Chooser", "AssetPrice", 50, 150, ["Theoretical", "Delta", "Gamma"],
                    path=folder / "chooser_asset_price.png", **contract)

at_the_money = dict(contract, AssetPrice=100)
del at_the_money["TimeExpire"]
quantrel.plot_curve("Chooser", "TimeExpire", 0.26, 3, "Theoretical",
                    path=folder / "chooser_time_to_expiry.png", **at_the_money)

print("wrote", folder / "chooser_asset_price.png", "and", folder / "chooser_time_to_expiry.png")
