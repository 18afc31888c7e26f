"""The installed package imports from <prefix>/lib/python3/dist-packages and finds the installed
library beside it, with the build tree out of the way."""

import os
import pathlib
import subprocess
import sys

import pytest


def test_the_installed_package_prices(tmp_path):
    build = os.environ.get("QUANTREL_BUILD_DIR")
    if not build or not (pathlib.Path(build) / "cmake_install.cmake").exists():
        pytest.skip("no build tree to install from")
    subprocess.run(["cmake", "--install", build, "--prefix", str(tmp_path)], check=True,
                   capture_output=True)
    site = tmp_path / "lib" / "python3" / "dist-packages"
    done = subprocess.run(
        [sys.executable, "-c", "import quantrel; print(quantrel.__file__); print(quantrel.Chooser("
         "'Theoretical', 100, 100, 0.25, 1, 0.3, 0.05, 0.02, TimeFormat='Years'))"],
        env=dict(os.environ, PYTHONPATH=str(site), LD_LIBRARY_PATH=""), capture_output=True,
        text=True, check=True, cwd=tmp_path)
    where, value = done.stdout.split()
    assert pathlib.Path(where).parent == site / "quantrel"
    assert float(value) > 0
