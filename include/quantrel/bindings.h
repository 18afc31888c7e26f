// Calling any available method with its inputs in interface order, as plain numbers: the fast
// late-bound path that the quantrel program and language bindings price books through. Inputs
// are doubles or 32-bit integers as the catalogue types them; the call reports like an early-bound
// method (a status, the thread's error information after a failure).
#pragma once

#include <cstdint>
#include <span>

#include "quantrel/automation.h"
#include "quantrel/catalogue.h"
#include "quantrel/export.h"

namespace quantrel {

union Argument {
  double d;
  int32_t i;
};

struct MethodBinding {
  const MethodSpec* method;        // its catalogue entry
  std::span<const bool> isDouble;  // per input: a double, else a 32-bit integer
  const char* parameterNames;      // "(OptionType, OptionFunction, ...)"
  HRESULT (*call)(std::span<const Argument> inputs, double* result);
};

// Every method whose model exists, in the catalogue's order.
QUANTREL_API std::span<const MethodBinding> Bindings();
// The binding of a dispatch id; nullptr for a method that is not available.
QUANTREL_API const MethodBinding* FindBinding(int32_t dispatchId);

}  // namespace quantrel
