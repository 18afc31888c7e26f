// Raising a pricing failure: the code goes to the caller's error slot first, then travels with
// the exception.
#pragma once

#include <cstdint>

#include "quantrel/errors.h"

namespace quantrel::core {

[[noreturn]] inline void Fail(int32_t* errorCode, int32_t code, const char* message) {
  if (errorCode) *errorCode = code;
  throw PricingError(code, message);
}

}  // namespace quantrel::core
