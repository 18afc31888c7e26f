"""The pricing functions, built from the library's catalogue when the package is imported."""

import collections
import inspect

import numpy as np

from . import _core

_CATALOGUE = _core.methods()
_ENUMERATIONS = {name: dict(members) for name, members in _core.enumerations().items()}
_ERRORS = {code: (name, description) for name, code, description in _core.error_codes()}

_INT32_MIN, _INT32_MAX = -(2**31), 2**31 - 1
_NUMBERS = (int, float, np.integer, np.floating)
_INTEGERS = (int, np.integer)


class PricingError(Exception):
    """A contract that could not be priced.

    `code` is the library's error code (the status of the failed call, a negative 32-bit value),
    `status` the same as the program writes it ("0x80050006"), `name` its symbolic name, and the
    message, ``str(error)``, the exact text of the first rule the contract broke. For an array
    call, `index` is the position of the first contract that failed.
    """

    def __init__(self, code, message, index=None):
        super().__init__(message)
        self.code = int(code)
        self.message = message
        self.index = index

    @property
    def status(self):
        return "0" if self.code == 0 else "0x%08X" % (self.code & 0xFFFFFFFF)

    @property
    def name(self):
        return _ERRORS.get(self.code, ("", ""))[0]

    def __str__(self):
        return self.message

    def __reduce__(self):
        return (PricingError, (self.code, self.message, self.index))


Priced = collections.namedtuple("Priced", "values codes messages")
Priced.__doc__ = """What a call with errors="nan" returns: the values (NaN where a contract
failed), the error codes (0 where it was priced) and the messages ("" where it was priced)."""


def methods(available=True):
    """The names of the pricing methods: those this build can price, or (available=False) every
    method of the interface."""
    return [m["name"] for m in _CATALOGUE if m["available"] or not available]


def enumeration(name):
    """An enumeration's members by name: {"CallOption": 1, "PutOption": 2}."""
    for known, members in _ENUMERATIONS.items():
        if known.lower() == name.lower():
            return dict(members)
    raise KeyError(name)


def error_codes():
    """Every error code of the library as (name, code, description)."""
    return [(name, code, description) for code, (name, description) in _ERRORS.items()]


class _Input:
    """One input of a method, as the catalogue describes it."""

    def __init__(self, described):
        self.name = described["name"]
        self.type = described["type"]
        self.enumeration = described["enumeration"]
        self.optional = described["optional"]
        self.default = described["default"]
        self.members = _ENUMERATIONS.get(self.enumeration, {}) if self.enumeration else {}
        self.folded = {name.lower(): value for name, value in self.members.items()}
        if self.type != "double":
            self.default = int(self.default)

    def member_list(self):
        return ", ".join("%s=%d" % item for item in self.members.items())

    def default_member(self):
        for name, value in self.members.items():
            if value == self.default:
                return name
        return None

    def signature_default(self):
        if not self.optional:
            return inspect.Parameter.empty
        return self.default_member() or self.default

    def describe(self):
        if self.type == "enum":
            text = "%s (%s)" % (self.enumeration, self.member_list())
        else:
            text = self.type
        if self.optional:
            member = self.default_member()
            text += ", optional, default %s" % (
                "%s (%s)" % (self.default, member) if member else repr(self.default))
        return text

    # --- Conversion of what the caller gave to the numbers the library takes ---

    def scalar(self, value):
        """A single value as the number the library takes, or None for anything else (arrays,
        sequences), which `convert` reads."""
        if isinstance(value, str):
            if self.type == "enum":
                return self._member(value)
            if self.type == "double":
                return float(self._number(value))
            return int(self._whole(np.asarray(value), value))
        if not isinstance(value, _NUMBERS):
            return None
        if self.type == "double":
            return float(value)
        if isinstance(value, _INTEGERS) and _INT32_MIN <= value <= _INT32_MAX:
            return int(value)
        return int(self._whole(np.asarray(value), value))

    def convert(self, value):
        if self.type == "double":
            return self._number(value)
        array = np.asarray(value)
        if self.type == "enum" and array.dtype.kind in "USO":
            if array.ndim == 0:
                return np.asarray(self._member(array.item()), dtype=np.int32)
            known = {}
            numbers = np.empty(array.shape, dtype=np.int32)
            for position, v in np.ndenumerate(array):
                key = (type(v), v)
                if key not in known:
                    known[key] = self._member(v)
                numbers[position] = known[key]
            return numbers
        return self._whole(array, value)

    def _number(self, value):
        try:
            return np.asarray(value, dtype=np.float64)
        except (TypeError, ValueError):
            raise ValueError("input %s: %r is not a number" % (self.name, value)) from None

    def _member(self, value):
        if isinstance(value, str):
            found = self.folded.get(value.strip().lower())
            if found is not None:
                return found
            try:
                return int(self._whole(np.asarray(float(value)), value))
            except ValueError:
                raise ValueError("input %s: %r is not a member of %s (%s)" % (
                    self.name, value, self.enumeration, self.member_list())) from None
        return int(self._whole(np.asarray(value), value))

    def _whole(self, array, given):
        if array.dtype.kind == "b":
            return array.astype(np.int32)
        if array.dtype.kind in "iu":
            if array.size and (array.min() < _INT32_MIN or array.max() > _INT32_MAX):
                raise ValueError("input %s: a value is out of the 32-bit range" % self.name)
            return array.astype(np.int32)
        if array.dtype.kind == "f" and array.ndim:
            return array.astype(np.float64, copy=False)  # checked as the loop reads it
        if array.dtype.kind == "f":
            bad = ~np.isfinite(array) | (array != np.trunc(array))
            bad |= (array < _INT32_MIN) | (array > _INT32_MAX)
            if bad.any():
                raise ValueError("input %s: '%r' is not a whole number" % (self.name,
                                                                           float(array)))
            return array.astype(np.int32)
        if array.dtype.kind in "USO":  # numbers as text, as in a book
            try:
                numbers = array.astype(np.float64)
            except (TypeError, ValueError):
                raise ValueError("input %s: %r is not a whole number" % (self.name, given)) \
                    from None
            return self._whole(numbers, given)
        raise TypeError("input %s takes a whole number, not %r" % (self.name, given))


class _Method:
    """A method of the catalogue and how Python calls it."""

    def __init__(self, described):
        self.name = described["name"]
        self.dispatch_id = described["dispatch_id"]
        self.help = described["help"]
        self.inputs = [_Input(i) for i in described["inputs"]]
        # The catalogue says which methods simulate: they take a fixed seed.
        self.monte_carlo = "monte carlo" in self.help.lower()

    def signature(self):
        parameters = []
        kind = inspect.Parameter.POSITIONAL_OR_KEYWORD
        seen_optional = False
        for i in self.inputs:
            # A required input after an optional one makes the rest keyword-only.
            if seen_optional and not i.optional:
                kind = inspect.Parameter.KEYWORD_ONLY
            seen_optional |= i.optional
            parameters.append(inspect.Parameter(i.name, kind, default=i.signature_default()))
        keyword = inspect.Parameter.KEYWORD_ONLY
        parameters.append(inspect.Parameter("errors", keyword, default="raise"))
        parameters.append(inspect.Parameter("threads", keyword, default=None))
        if self.monte_carlo:
            parameters.append(inspect.Parameter("seed", keyword, default=None))
        return inspect.Signature(parameters)

    def doc(self):
        lines = [self.help + ".", "", "Inputs, in order:"]
        lines += ["    %s: %s" % (i.name, i.describe()) for i in self.inputs]
        lines += [
            "",
            "Enumerations take a member name (any case) or its number. Any input may be a numpy",
            "array: inputs broadcast, and the result is a float64 array of their shape.",
            "",
            'errors="raise" (the default) raises PricingError for the first contract that',
            'fails; errors="nan" returns Priced(values, codes, messages) instead, with NaN, the',
            "error code and its message where a contract failed.",
            "threads: pricing threads for a large array (default: every core).",
        ]
        if self.monte_carlo:
            lines.append("seed: a fixed seed for the simulation, 0 to 2**32 - 1 (default: the clock).")
        return "\n".join(lines)

    def call(self, values, errors="raise", threads=None, seed=None):
        if errors not in ("raise", "nan"):
            raise ValueError('errors must be "raise" or "nan", not %r' % (errors,))
        if seed is not None:
            seed = int(seed)
            if not 0 <= seed < 2 ** 32:
                raise ValueError("seed must be a whole number from 0 to 2**32 - 1, not %r" % (seed,))
        numbers = [i.scalar(v) for i, v in zip(self.inputs, values)]
        if None not in numbers:
            status, value, message = _core.call_scalar(self.dispatch_id, numbers, seed)
            if errors == "nan":
                return Priced(value if status == 0 else float("nan"), status, message)
            if status:
                raise PricingError(status, message)
            return value
        arrays = np.broadcast_arrays(*[i.convert(v) for i, v in zip(self.inputs, values)])
        values, codes, failures = _core.call_array(self.dispatch_id, arrays, errors == "raise",
                                                   int(threads or 0), seed)
        if errors == "raise":
            if failures:
                k, message = failures[0]
                raise PricingError(codes.flat[k], message, np.unravel_index(k, codes.shape))
            return values
        messages = np.full(codes.shape, "", dtype=object)
        for k, message in failures:
            messages.flat[k] = message
        return Priced(values, codes, messages)



def _function(method):
    signature = method.signature()
    parameters = list(signature.parameters.values())
    positional = [p.name for p in parameters if p.kind == p.POSITIONAL_OR_KEYWORD]
    names = {p.name.lower(): p.name for p in parameters}
    defaults = {i.name: i.default for i in method.inputs if i.optional}
    defaults.update(errors="raise", threads=None, seed=None)
    required = [i.name for i in method.inputs if not i.optional]

    # Binds as signature.bind would, at a fraction of its cost for a single contract.
    def price(*args, **kwargs):
        if len(args) > len(positional):
            raise TypeError("%s() takes %d positional arguments but %d were given"
                            % (method.name, len(positional), len(args)))
        given = dict(zip(positional, args))
        for key, value in kwargs.items():
            name = names.get(key.lower())
            if name is None:
                raise TypeError("%s() got an unexpected keyword argument %r" % (method.name, key))
            if name in given:
                raise TypeError("%s() got input %s twice" % (method.name, name))
            given[name] = value
        missing = [name for name in required if name not in given]
        if missing:
            raise TypeError("%s() missing required inputs: %s" % (method.name,
                                                                  ", ".join(missing)))
        value = given.get
        return method.call([value(i.name, defaults.get(i.name)) for i in method.inputs],
                           value("errors", "raise"), value("threads"), value("seed"))

    price.__name__ = price.__qualname__ = method.name
    price.__module__ = "quantrel"
    price.__doc__ = method.doc()
    price.__signature__ = signature
    price.method = method
    return price


_BY_NAME = {}


def _install_methods(namespace):
    """Puts a function for every available method into the package; returns their names."""
    installed = []
    for described in _CATALOGUE:
        if described["available"]:
            method = _Method(described)
            _BY_NAME[method.name.lower()] = method
            namespace[method.name] = _function(method)
            installed.append(method.name)
    return installed


def find_method(name):
    """The available method called `name` (any case); KeyError when there is none."""
    try:
        return _BY_NAME[name.lower()]
    except KeyError:
        raise KeyError("no available method %r" % (name,)) from None
