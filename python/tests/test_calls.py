"""The pricing functions: built from the catalogue, keyword and array calls giving the C++
functions' values bit for bit, broadcasting, threads and error reporting."""

import inspect
import subprocess

import numpy as np
import pytest

import quantrel
from quantrel import _core

from conftest import example_rows, simulates

AVAILABLE = [m for m in _core.methods() if m["available"]]

FS = dict(OptionType="CallOption", OptionFunction="Theoretical_FS", AssetPrice=60,
          TimeStart=0.25, TimeExpire=1, Volatility=0.3, InterestRate=0.08, YieldRate=0.04,
          Alpha=1.1, TimeFormat="Years")


def keywords(row, method):
    """The cells of an example row that are inputs of the method, as keyword arguments."""
    names = {i["name"].lower() for i in method["inputs"]}
    return {k: v for k, v in row.items() if k.lower() in names and v.strip()}


class TestCatalogue:
    def test_every_available_method_is_a_function_with_the_catalogue_signature(self):
        assert quantrel.methods() == [m["name"] for m in AVAILABLE]
        for m in AVAILABLE:
            f = getattr(quantrel, m["name"])
            parameters = list(inspect.signature(f).parameters.values())
            assert [p.name for p in parameters[:len(m["inputs"])]] == \
                [i["name"] for i in m["inputs"]]
            for p, i in zip(parameters, m["inputs"]):
                assert (p.default is inspect.Parameter.empty) == (not i["optional"])
            assert f.__doc__.startswith(m["help"])
            assert ("seed" in inspect.signature(f).parameters) == simulates(m["name"])

    def test_defaults_read_as_members_and_are_what_an_omitted_input_stands_for(self):
        parameters = inspect.signature(quantrel.ForwardStart).parameters
        assert parameters["TimeFormat"].default == "Days"
        assert parameters["MarketPrice"].default == 0.0
        days = dict(FS, TimeFormat="Days", TimeStart=90, TimeExpire=365)
        omitted = dict(days)
        del omitted["TimeFormat"]
        assert quantrel.ForwardStart(**omitted) == quantrel.ForwardStart(**days)

    def test_unavailable_methods_are_listed_but_not_functions(self):
        every = quantrel.methods(available=False)
        assert len(every) == 48
        for name in set(every) - set(quantrel.methods()):
            assert not hasattr(quantrel, name)


class TestAgainstTheProgram:
    """Each example row, called with keywords, gives the program's answer to the bit."""

    @pytest.mark.parametrize("row", [row for _, row in example_rows()], ids=lambda r: r["Id"])
    def test_example_row(self, program, row):
        method = next((m for m in AVAILABLE if m["name"].lower() == row["Method"].lower()), None)
        if method is None or simulates(method["name"]):
            pytest.skip("not available, or simulated without a fixed seed")
        given = keywords(row, method)
        done = subprocess.run([str(program), method["name"]] +
                              ["%s=%s" % item for item in given.items()],
                              capture_output=True, text=True)
        f = getattr(quantrel, method["name"])
        # Cells are text; the function takes numbers for amounts and names for members.
        typed = {k: (v if any(i["name"].lower() == k.lower() and i["type"] == "enum"
                              for i in method["inputs"]) else float(v)) for k, v in given.items()}
        if done.returncode == 0:
            assert f(**typed) == float(done.stdout)
            assert np.float64(f(**typed)).tobytes() == np.float64(float(done.stdout)).tobytes()
        else:
            with pytest.raises(quantrel.PricingError) as raised:
                f(**typed)
            assert raised.value.status in done.stderr
            assert str(raised.value) in done.stderr


def random_contracts(method, count, rng):
    """`count` contracts around an example row of the method that prices, varying its prices."""
    for _, row in example_rows():
        if row["Method"].lower() != method["name"].lower():
            continue
        given = keywords(row, method)
        try:
            getattr(quantrel, method["name"])(**given)
        except quantrel.PricingError:
            continue
        columns = []
        for i in method["inputs"]:
            text = next((v for k, v in given.items() if k.lower() == i["name"].lower()), None)
            if text is None:
                value = float(i["default"])
            elif i["type"] == "enum":
                value = float(quantrel.enumeration(i["enumeration"]).get(text, text))
            else:
                value = float(text)
            column = np.full(count, value)
            if i["type"] == "double" and ("Price" in i["name"] or "Strike" in i["name"]):
                column *= rng.uniform(0.8, 1.2, count)
            columns.append(column)
        return columns
    return None


class TestVectorised:
    def test_every_method_over_an_array_gives_the_cxx_loop_values_bit_for_bit(
            self, direct_loop, tmp_path):
        rng = np.random.default_rng(17)
        count = 20000
        for m in (m for m in AVAILABLE if not simulates(m["name"])):
            columns = random_contracts(m, count, rng)
            assert columns is not None, "no example row of %s prices" % m["name"]
            (tmp_path / "in.bin").write_bytes(b"".join(c.tobytes() for c in columns))
            subprocess.run([str(direct_loop), m["name"], str(count), str(tmp_path / "in.bin"),
                            str(tmp_path / "out.bin")], check=True, capture_output=True)
            expected = np.frombuffer((tmp_path / "out.bin").read_bytes(), dtype=np.float64)
            got = getattr(quantrel, m["name"])(*columns, errors="nan").values
            assert got.tobytes() == expected.tobytes(), m["name"]

    def test_inputs_broadcast_and_each_element_is_the_scalar_call(self):
        prices = np.array([[50.0], [60.0], [70.0]])
        vols = np.array([0.2, 0.3, 0.4, 0.5])
        got = quantrel.ForwardStart(**dict(FS, AssetPrice=prices, Volatility=vols))
        assert got.shape == (3, 4)
        for r in range(3):
            for c in range(4):
                assert got[r, c] == quantrel.ForwardStart(
                    **dict(FS, AssetPrice=prices[r, 0], Volatility=vols[c]))

    def test_strided_and_non_native_arrays(self):
        prices = np.linspace(40, 80, 40).reshape(5, 8)
        expected = quantrel.ForwardStart(**dict(FS, AssetPrice=prices.T.copy()))
        assert np.array_equal(quantrel.ForwardStart(**dict(FS, AssetPrice=prices.T)), expected)
        every_other = quantrel.ForwardStart(**dict(FS, AssetPrice=prices.ravel()[::2]))
        assert np.array_equal(every_other, quantrel.ForwardStart(
            **dict(FS, AssetPrice=prices.ravel()[::2].copy())))
        big_endian = prices.astype(">f8")
        assert np.array_equal(quantrel.ForwardStart(**dict(FS, AssetPrice=big_endian)),
                              quantrel.ForwardStart(**dict(FS, AssetPrice=prices)))

    def test_threads_give_the_serial_answers(self):
        prices = np.linspace(1, 200, 300001)
        serial = quantrel.ForwardStart(**dict(FS, AssetPrice=prices), threads=1)
        assert quantrel.ForwardStart(**dict(FS, AssetPrice=prices)).tobytes() == serial.tobytes()
        assert quantrel.ForwardStart(**dict(FS, AssetPrice=prices), threads=7).tobytes() == \
            serial.tobytes()

    def test_empty_arrays(self):
        got = quantrel.ForwardStart(**dict(FS, AssetPrice=np.array([])))
        assert got.shape == (0,)


class TestErrors:
    def test_scalar_failure_raises_the_code_and_the_exact_message(self):
        with pytest.raises(quantrel.PricingError) as raised:
            quantrel.ForwardStart(**dict(FS, TimeStart=0.5, TimeExpire=0.25))
        e = raised.value
        assert e.status == "0x80050033" and e.code == 0x80050033 - 2**32
        assert e.name == "TimeStartErr"
        assert str(e) == "TimeStart must be greater than 0 and less than the TimeExpire."

    def test_array_raises_for_the_first_failure_in_order(self):
        starts = np.full(200000, 0.25)
        starts[[150001, 70001, 190000]] = 2.0
        for threads in (1, 2, 8):
            with pytest.raises(quantrel.PricingError) as raised:
                quantrel.ForwardStart(**dict(FS, TimeStart=starts), threads=threads)
            assert raised.value.index == (70001,)
        grid = np.full((3, 4), 0.25)
        grid[2, 1] = 2.0
        with pytest.raises(quantrel.PricingError) as raised:
            quantrel.ForwardStart(**dict(FS, TimeStart=grid))
        assert raised.value.index == (2, 1)

    def test_nan_choice_returns_values_codes_and_messages(self):
        starts = np.array([0.25, 2.0, 0.5, -1.0])
        values, codes, messages = quantrel.ForwardStart(**dict(FS, TimeStart=starts),
                                                        errors="nan")
        for k, start in enumerate(starts):
            try:
                expected = quantrel.ForwardStart(**dict(FS, TimeStart=start))
            except quantrel.PricingError as e:
                assert np.isnan(values[k]) and codes[k] == e.code and messages[k] == str(e)
            else:
                assert values[k] == expected and codes[k] == 0 and messages[k] == ""
        assert (codes != 0).sum() == 2
        scalar = quantrel.ForwardStart(**dict(FS, TimeStart=2.0), errors="nan")
        assert np.isnan(scalar.values) and scalar.codes == codes[1]
        with pytest.raises(ValueError):
            quantrel.ForwardStart(**FS, errors="ignore")

    def test_pricing_error_survives_pickling(self):
        import pickle
        e = pickle.loads(pickle.dumps(quantrel.PricingError(-2147155917, "text", (3,))))
        assert (e.code, str(e), e.index) == (-2147155917, "text", (3,))


class TestArguments:
    def test_enumerations_by_name_number_or_any_case_also_in_arrays(self):
        by_name = quantrel.ForwardStart(**FS)
        assert quantrel.ForwardStart(**dict(FS, OptionType=1, OptionFunction=1,
                                            TimeFormat=1)) == by_name
        assert quantrel.ForwardStart(**dict(FS, OptionType="calloption", TimeFormat="1")) == \
            by_name
        both = quantrel.ForwardStart(**dict(FS, OptionType=["CallOption", "PutOption", 2]))
        assert both[0] == by_name
        assert both[1] == both[2] == quantrel.ForwardStart(**dict(FS, OptionType="PutOption"))

    def test_wrong_values_are_refused_as_the_program_refuses_them(self):
        with pytest.raises(ValueError, match=r"input OptionType: 'Call' is not a member of "
                                             r"enumOptionType \(CallOption=1, PutOption=2\)"):
            quantrel.ForwardStart(**dict(FS, OptionType="Call"))
        with pytest.raises(ValueError, match="input TimeFormat: '1.5' is not a whole number"):
            quantrel.ForwardStart(**dict(FS, TimeFormat=1.5))
        formats = np.ones(100000)
        formats[[90000, 60000]] = [0.5, np.nan]
        for threads in (1, 4):  # the first in index order, checked in the loop
            with pytest.raises(ValueError, match="input TimeFormat: 'nan' is not a whole"):
                quantrel.ForwardStart(**dict(FS, TimeFormat=formats), errors="nan",
                                      threads=threads)
        with pytest.raises(ValueError, match="not a whole number"):
            quantrel.TimeSwitch("CallOption", "Theoretical", 100, 100, 1, [12, 12.5], 5,
                                1 / 365, 0.3, 0.05, 0.02, TimeFormat="Years")
        with pytest.raises(ValueError, match="input AssetPrice: 'sixty' is not a number"):
            quantrel.ForwardStart(**dict(FS, AssetPrice="sixty"))
        # An unknown number is the model's to report, as in the program.
        with pytest.raises(quantrel.PricingError):
            quantrel.ForwardStart(**dict(FS, OptionType=7))

    def test_keywords_in_any_case_once_each(self):
        lower = {k.lower(): v for k, v in FS.items()}
        assert quantrel.ForwardStart(**lower) == quantrel.ForwardStart(**FS)
        with pytest.raises(TypeError, match="twice"):
            quantrel.ForwardStart(**FS, assetprice=61)
        missing = dict(FS)
        del missing["Alpha"]
        with pytest.raises(TypeError):
            quantrel.ForwardStart(**missing)
        with pytest.raises(TypeError):
            quantrel.ForwardStart(**FS, Strike=1)

    def test_seed_is_for_simulations_only_and_repeats_them(self):
        with pytest.raises(TypeError):
            quantrel.ForwardStart(**FS, seed=1)
        mc = dict(OptionType="CallOption", AssetPrice=100.0, StrikePrice=100.0, TimeExpire=0.5,
                  Volatility=0.25, InterestRate=0.05, YieldRate=0.0, Iterations=500,
                  TimeFormat="Years")
        once = quantrel.OptionsMC(**mc, seed=7)
        assert quantrel.OptionsMC(**mc, seed=7) == once
        assert quantrel.OptionsMC(**mc, seed=8) != once
        # Every pricing thread of an array call takes the seed: each element as if alone.
        many = quantrel.OptionsMC(**dict(mc, AssetPrice=np.full(40000, 100.0)), seed=7, threads=2)
        assert (many == once).all()
        with pytest.raises(ValueError):
            quantrel.OptionsMC(**mc, seed=-1)
