// Fuzzes the late-bound call: a method, positional or named arguments of any type, taken from
// the fuzzer's bytes. A call must come back with a finite result or a status, never crash.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <string>
#include <vector>

#include "quantrel/automation.h"
#include "server/ExoticOptionsImpl.h"

using namespace quantrel;

namespace {

Variant AnyValue(FuzzedDataProvider& data) {
  switch (data.ConsumeIntegralInRange<int>(0, 6)) {
    case 0:
      return Variant::Missing();
    case 1:
      return Variant::Of(data.ConsumeIntegral<int32_t>());
    case 2:
      return Variant::Of(data.ConsumeBool());
    case 3:
      return Variant::Of(data.ConsumeRandomLengthString(24));
    case 4:
      return Variant{};
    default:
      return Variant::Of(data.ConsumeFloatingPoint<double>());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const auto bindings = Bindings();
  const MethodBinding& binding =
      bindings[data.ConsumeIntegralInRange<size_t>(0, bindings.size() - 1)];
  const auto& inputs = binding.method->inputs;

  std::string methodName = binding.method->name;
  if (data.ConsumeIntegralInRange<int>(0, 15) == 0) methodName = data.ConsumeRandomLengthString(16);

  std::vector<Variant> positional;
  std::vector<std::string> names;
  std::vector<Variant> namedValues;
  const size_t count = data.ConsumeIntegralInRange<size_t>(0, inputs.size() + 2);
  const bool named = data.ConsumeBool();
  for (size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
    if (named) {
      names.push_back(
          data.ConsumeIntegralInRange<int>(0, 9) == 0
              ? data.ConsumeRandomLengthString(16)
              : std::string(
                    inputs[data.ConsumeIntegralInRange<size_t>(0, inputs.size() - 1)].name));
      namedValues.push_back(AnyValue(data));
    } else {
      positional.push_back(AnyValue(data));
    }
  }
  std::vector<NamedArgument> namedArguments;
  for (size_t i = 0; i < names.size(); ++i) namedArguments.push_back({names[i], namedValues[i]});

  double result = 0;
  ExcepInfo info;
  uint32_t argErr = 0;
  const HRESULT status = server::InvokeNamed(server::IdsOfNames, server::InvokeMethod, methodName,
                                             positional, namedArguments, &result, &info, &argErr);
  if (status == S_OK && !std::isfinite(result)) __builtin_trap();
  if (status == DISP_E_EXCEPTION && info.description.empty()) __builtin_trap();
  return 0;
}
