"""Curves of a result against one input: the plotted values, the labels, the files."""

import numpy as np
import pytest

import quantrel
from quantrel.plot import input_unit

CHOOSER = dict(StrikePrice=100, TimeChoose=0.25, TimeExpire=1, Volatility=0.3,
               InterestRate=0.05, YieldRate=0.02, TimeFormat="Years")


def test_each_result_in_its_own_panel_with_the_methods_values(tmp_path):
    figure = quantrel.plot_curve("Chooser", "AssetPrice", 50, 150,
                                 ["Theoretical", "delta", "Gamma"], points=41,
                                 path=tmp_path / "c.png", **CHOOSER)
    axes = figure.axes
    assert len(axes) == 3
    xs = np.linspace(50, 150, 41)
    for ax, function in zip(axes, ["Theoretical", "Delta", "Gamma"]):
        x, y = ax.lines[0].get_data()
        assert np.array_equal(x, xs)
        assert np.array_equal(y, quantrel.Chooser(function, xs, **CHOOSER))
    assert axes[0].get_ylabel() == "value (price)"
    assert axes[2].get_ylabel() == "gamma (per unit of price squared)"
    assert axes[2].get_xlabel() == "AssetPrice (price)"
    assert (tmp_path / "c.png").read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


def test_time_axis_in_the_contracts_unit_and_svg(tmp_path):
    figure = quantrel.plot_curve("ForwardStart", "TimeExpire", 100, 700, "Theoretical_FS",
                                 path=tmp_path / "t.svg", OptionType="CallOption",
                                 AssetPrice=60, TimeStart=90, Volatility=0.3, InterestRate=0.08,
                                 YieldRate=0.04, Alpha=1.1)
    assert figure.axes[0].get_xlabel() == "TimeExpire (days)"
    assert b"<svg" in (tmp_path / "t.svg").read_bytes()[:400]
    assert input_unit("TimeExpire", {"timeformat": 1}) == "years"
    assert input_unit("Volatility", {}) == "per year, as a decimal"


def test_failed_contracts_leave_gaps_and_bad_requests_raise():
    inputs = dict(CHOOSER)
    del inputs["TimeChoose"]
    figure = quantrel.plot_curve("Chooser", "TimeChoose", 0.1, 2, points=20, AssetPrice=100,
                                 **inputs)
    y = figure.axes[0].lines[0].get_data()[1]
    assert np.isnan(y[-1]) and np.isfinite(y[0])  # choosing after expiry fails
    with pytest.raises(ValueError, match="no result 'Charm'"):
        quantrel.plot_curve("Chooser", "AssetPrice", 50, 150, "Charm", **CHOOSER)
    with pytest.raises(ValueError, match="no input"):
        quantrel.plot_curve("Chooser", "Spot", 50, 150, **CHOOSER)
    with pytest.raises(ValueError, match="needs Volatility"):
        quantrel.plot_curve("Chooser", "AssetPrice", 50, 150,
                            **{k: v for k, v in CHOOSER.items() if k != "Volatility"})


def test_the_example_script_writes_its_pictures(tmp_path):
    import pathlib
    import subprocess
    import sys
    script = pathlib.Path(__file__).parents[1] / "examples" / "plot_chooser.py"
    subprocess.run([sys.executable, str(script), str(tmp_path)], check=True, capture_output=True)
    for name in ("chooser_asset_price.png", "chooser_time_to_expiry.png"):
        assert (tmp_path / name).read_bytes()[:4] == b"\x89PNG"
