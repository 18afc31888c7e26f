"""Curves: a value or any sensitivity of a method against one of its inputs."""

import numpy as np

from ._calls import find_method

# Units of the inputs, by the shape of their names: the catalogue gives names and types only.
_PRICE_WORDS = ("Price", "Strike", "Barrier", "Rebate", "AssetMinMax", "AccruedAmt", "Payoff",
                "ValueFirm")


def input_unit(name, inputs):
    """The unit an input is quoted in, for an axis label; "" when it has none."""
    if name.startswith("Time"):
        return "years" if _time_in_years(inputs) else "days"
    if name.startswith("Vol"):
        return "per year, as a decimal"
    if "Rate" in name and name != "ExchangeRate":
        return "per year, as a decimal"
    if name == "ExchangeRate":
        return "domestic per foreign unit"
    if any(word in name for word in _PRICE_WORDS):
        return "price"
    return ""


def _time_in_years(inputs):
    for key, value in inputs.items():
        if key.lower() == "timeformat":
            return str(value).strip().lower() in ("years", "1")
    return False  # TimeFormat's default is Days


# What each kind of result measures, by the start of its member name.
_RESULT_UNITS = (
    ("Theoretical", "value", "price"),
    ("Delta", "delta", "per unit of price"),
    ("Gamma", "gamma", "per unit of price squared"),
    ("Theta", "theta", "per calendar day"),
    ("Vega", "vega", "per percentage point"),
    ("Rho", "rho", "per percentage point"),
    ("Psi", "psi", "per percentage point"),
    ("Chi", "chi", "per percentage point"),
    ("Lambda", "lambda", "elasticity"),
    ("Exchange", "exchange sensitivity", "per unit of exchange rate"),
    ("StrikeSens", "strike sensitivity", "per unit of strike"),
    ("Implied", "implied input", ""),
)


def result_label(member):
    for prefix, what, unit in _RESULT_UNITS:
        if member.startswith(prefix):
            return "%s (%s)" % (what, unit) if unit else what
    return member


def _label(name, unit):
    return "%s (%s)" % (name, unit) if unit else name


def _result_members(method):
    """The members of the input that selects the result (OptionFunction), if the method has it."""
    for i in method.inputs:
        if i.name == "OptionFunction":
            return i, i.members
    raise ValueError("%s has no OptionFunction input to vary the result by" % method.name)


def _resolve(method, wanted):
    """A result by member name ("Delta_FS") or by its kind ("Delta", "delta")."""
    _, members = _result_members(method)
    for name in members:
        if name.lower() == wanted.lower():
            return name
    for name in members:
        if name.split("_")[0].lower() == wanted.lower():
            return name
    raise ValueError("%s has no result %r (%s)" % (method.name, wanted, ", ".join(members)))


def plot_curve(method, vary, start, stop, functions=None, points=200, path=None, title=None,
               **inputs):
    """Draws results of `method` against the input `vary`, from `start` to `stop`.

    functions: the results to draw, each in its own panel: OptionFunction members ("Delta_FS")
    or their kinds ("Theoretical", "Delta", "Gamma", "Theta", "Vega"...); default the value.
    inputs: the method's other inputs, as its function takes them (OptionFunction is set by
    `functions`). points: how many values of `vary`. path: where to save the figure, as PNG or
    SVG by its extension. Returns the matplotlib Figure; a contract that fails leaves a gap.

        quantrel.plot_curve("Chooser", "AssetPrice", 50, 150, ["Theoretical", "Delta", "Gamma"],
                            StrikePrice=100, TimeChoose=0.25, TimeExpire=1, Volatility=0.3,
                            InterestRate=0.05, YieldRate=0.02, TimeFormat="Years",
                            path="chooser.png")
    """
    from matplotlib.figure import Figure

    m = find_method(method)
    names = {i.name.lower(): i.name for i in m.inputs}
    if vary.lower() not in names:
        raise ValueError("%s has no input %r" % (m.name, vary))
    vary = names[vary.lower()]
    given = {}
    for key, value in inputs.items():
        if key.lower() not in names:
            raise ValueError("%s has no input %r" % (m.name, key))
        given[names[key.lower()]] = value
    if vary in given:
        raise ValueError("%s is the input varied: give it as start and stop" % vary)
    option_function, members = _result_members(m)
    if functions is None:
        functions = [next(iter(members))]
    elif isinstance(functions, str):
        functions = [functions]
    chosen = [_resolve(m, f) for f in functions]

    xs = np.linspace(start, stop, int(points))
    given[vary] = xs
    missing = [i.name for i in m.inputs
               if not i.optional and i.name not in given and i is not option_function]
    if missing:
        raise ValueError("%s needs %s" % (m.name, ", ".join(missing)))

    figure = Figure(figsize=(7, 2.4 * len(chosen) + 0.8), layout="constrained")
    axes = figure.subplots(len(chosen), 1, sharex=True, squeeze=False)[:, 0]
    for ax, member in zip(axes, chosen):
        given[option_function.name] = member
        values = m.call([given.get(i.name, i.default) for i in m.inputs], errors="nan").values
        ax.plot(xs, values)
        ax.set_ylabel(result_label(member))
        ax.set_title(member, fontsize="medium", loc="left")
        ax.grid(True, alpha=0.3)
    axes[-1].set_xlabel(_label(vary, input_unit(vary, given)))
    figure.suptitle(title or "%s: %s" % (m.name, m.help))
    if path is not None:
        figure.savefig(path)
    return figure
