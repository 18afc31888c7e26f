// Late-bound calls: names to dispatch ids, and Invoke with positional or named arguments,
// omitted optionals and the automation conventions for a wrong call.
#include <charconv>
#include <cmath>
#include <functional>
#include <optional>
#include <vector>

#include "quantrel/numerical.h"
#include "server/ExoticOptionsImpl.h"

namespace quantrel {
namespace server {
namespace {

// An argument converted to what the parameter takes, or the status of a failed conversion.
struct Conversion {
  HRESULT status = S_OK;
  Argument value{};
};

std::optional<double> ParseNumber(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Integers take the nearest value, halves to even, as automation coerces a double.
Conversion ToInt32(double x) {
  const double rounded = std::nearbyint(x);
  if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) return {DISP_E_OVERFLOW};
  Conversion c;
  c.value.i = static_cast<int32_t>(rounded);
  return c;
}

Conversion Convert(const Variant& v, bool toDouble) {
  double number = 0;
  switch (v.type) {
    case Variant::Type::Empty:
      number = 0;
      break;
    case Variant::Type::Int32:
      number = v.i4;
      break;
    case Variant::Type::Double:
      number = v.r8;
      break;
    case Variant::Type::Bool:
      number = v.b ? -1 : 0;
      break;
    case Variant::Type::String: {
      const std::optional<double> parsed = ParseNumber(v.str);
      if (!parsed) return {DISP_E_TYPEMISMATCH};
      number = *parsed;
      break;
    }
    case Variant::Type::Missing:
      return {DISP_E_PARAMNOTOPTIONAL};
  }
  if (!toDouble) return ToInt32(number);
  Conversion c;
  c.value.d = number;
  return c;
}

// Not an input of any method: the Monte Carlo methods take it by name, past their inputs.
constexpr std::string_view kSeedName = "Seed";

}  // namespace

HRESULT TQuantrelImpl::GetIDsOfNames(std::span<const std::string_view> names, int32_t* ids) {
  return IdsOfNames(names, ids);
}

HRESULT TQuantrelImpl::Invoke(int32_t dispId, const DispParams& params, Variant* result,
                              ExcepInfo* excepInfo, uint32_t* argErr) {
  return InvokeMethod(dispId, params, result, excepInfo, argErr);
}

HRESULT IdsOfNames(std::span<const std::string_view> names, int32_t* ids) {
  if (names.empty()) return S_OK;
  if (!ids) return E_POINTER;
  std::fill(ids, ids + names.size(), -1);
  const MethodSpec* method = FindMethod(names[0]);
  if (!method || !FindBinding(method->dispatchId)) return DISP_E_UNKNOWNNAME;
  ids[0] = method->dispatchId;
  HRESULT status = S_OK;
  for (size_t n = 1; n < names.size(); ++n) {
    for (size_t i = 0; i < method->inputs.size(); ++i) {
      if (EqualsIgnoreCase(method->inputs[i].name, names[n])) ids[n] = static_cast<int32_t>(i);
    }
    if (ids[n] < 0 && EqualsIgnoreCase(names[n], kSeedName) && TakesMonteCarloSeed(method->name)) {
      ids[n] = static_cast<int32_t>(method->inputs.size());
    }
    if (ids[n] < 0) status = DISP_E_UNKNOWNNAME;
  }
  return status;
}

HRESULT InvokeMethod(int32_t dispId, const DispParams& params, Variant* result,
                     ExcepInfo* excepInfo, uint32_t* argErr) {
  const MethodBinding* binding = FindBinding(dispId);
  if (!binding) return DISP_E_MEMBERNOTFOUND;
  const auto& inputs = binding->method->inputs;
  const size_t count = params.args.size();
  const size_t named = params.namedIds.size();
  if (named > count) return E_INVALIDARG;
  if (count - named > inputs.size()) return DISP_E_BADPARAMCOUNT;
  auto fail = [&](HRESULT status, size_t argIndex) {
    if (argErr) *argErr = static_cast<uint32_t>(argIndex);
    return status;
  };

  // Which argument (index in params.args) supplies each input, and the seed of a Monte Carlo
  // method: a named argument past its inputs.
  std::vector<std::optional<size_t>> source(inputs.size());
  std::optional<size_t> seedSource;
  for (size_t k = 0; k < count - named; ++k) source[k] = count - 1 - k;
  for (size_t k = 0; k < named; ++k) {
    const int32_t id = params.namedIds[k];
    if (static_cast<size_t>(id) == inputs.size() && TakesMonteCarloSeed(binding->method->name)) {
      if (seedSource) return fail(DISP_E_PARAMNOTFOUND, k);
      seedSource = k;
      continue;
    }
    if (id < 0 || static_cast<size_t>(id) >= inputs.size() || source[id]) {
      return fail(DISP_E_PARAMNOTFOUND, k);
    }
    source[id] = k;
  }

  std::vector<Argument> values(inputs.size());
  for (size_t i = 0; i < inputs.size(); ++i) {
    const bool toDouble = binding->isDouble[i];
    const bool omitted = !source[i] || params.args[*source[i]].type == Variant::Type::Missing;
    if (omitted) {
      if (!inputs[i].optional) return fail(DISP_E_PARAMNOTOPTIONAL, i);
      if (toDouble) {
        values[i].d = inputs[i].defaultValue;
      } else {
        values[i].i = static_cast<int32_t>(inputs[i].defaultValue);
      }
      continue;
    }
    const Conversion c = Convert(params.args[*source[i]], toDouble);
    if (c.status != S_OK) return fail(c.status, *source[i]);
    values[i] = c.value;
  }

  std::optional<uint32_t> seed;
  if (seedSource && params.args[*seedSource].type != Variant::Type::Missing) {
    const Conversion c = Convert(params.args[*seedSource], true);
    if (c.status != S_OK) return fail(c.status, *seedSource);
    const double rounded = std::nearbyint(c.value.d);
    if (!(rounded >= 0 && rounded <= 4294967295.0)) return fail(DISP_E_OVERFLOW, *seedSource);
    seed = static_cast<uint32_t>(rounded);
  }

  double value = 0;
  HRESULT status;
  if (seed) {
    const MonteCarloSeed scope(*seed);
    status = binding->call(values, &value);
  } else {
    status = binding->call(values, &value);
  }
  if (Succeeded(status)) {
    if (result) *result = Variant::Of(value);
    return S_OK;
  }
  if (excepInfo) {
    ErrorInfo info;
    GetErrorInfo(info);
    *excepInfo = {status, info.source, info.description, info.helpFile, info.helpContext};
  }
  return DISP_E_EXCEPTION;
}

}  // namespace server

namespace server {

HRESULT InvokeNamed(
    const std::function<HRESULT(std::span<const std::string_view>, int32_t*)>& lookup,
    const std::function<HRESULT(int32_t, const DispParams&, Variant*, ExcepInfo*, uint32_t*)>&
        invoke,
    std::string_view method, std::span<const Variant> positional,
    std::span<const NamedArgument> named, double* result, ExcepInfo* excepInfo, uint32_t* argErr) {
  std::vector<std::string_view> names = {method};
  for (const NamedArgument& n : named) names.push_back(n.name);
  std::vector<int32_t> ids(names.size());
  if (const HRESULT found = lookup(names, ids.data()); found != S_OK) {
    // Name which argument was unknown: its index in the argument list. An unknown method has
    // no arguments to name.
    for (size_t k = 1; ids[0] >= 0 && k < ids.size(); ++k) {
      if (ids[k] < 0 && argErr) *argErr = static_cast<uint32_t>(k - 1);
    }
    return found;
  }

  std::vector<Variant> args;
  args.reserve(named.size() + positional.size());
  for (const NamedArgument& n : named) args.push_back(n.value);
  for (size_t k = positional.size(); k-- > 0;) args.push_back(positional[k]);
  const std::span<const int32_t> namedIds(ids.data() + 1, named.size());

  Variant out;
  const HRESULT status = invoke(ids[0], {args, namedIds}, &out, excepInfo, argErr);
  if (status == S_OK && result) *result = out.r8;
  return status;
}

}  // namespace server

HRESULT InvokeByName(IDispatch& object, std::string_view method,
                     std::span<const Variant> positional, std::span<const NamedArgument> named,
                     double* result, ExcepInfo* excepInfo, uint32_t* argErr) {
  return server::InvokeNamed([&](std::span<const std::string_view> names,
                                 int32_t* ids) { return object.GetIDsOfNames(names, ids); },
                             [&](int32_t id, const DispParams& p, Variant* r, ExcepInfo* e,
                                 uint32_t* a) { return object.Invoke(id, p, r, e, a); },
                             method, positional, named, result, excepInfo, argErr);
}

}  // namespace quantrel
