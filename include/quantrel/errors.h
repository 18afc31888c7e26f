// Error codes and the exceptions that carry them.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "quantrel/export.h"

namespace quantrel {

// enumErrCodes: 32-bit failure statuses (0x8004FFFF .. 0x8005006B); None is 0.
#define QUANTREL_ERROR(name, value, description, raised) name = static_cast<int32_t>(value),
enum enumErrCodes : int32_t {
#include "quantrel/error_codes.inc"
};
#undef QUANTREL_ERROR

// A failed pricing call: the enumErrCodes value and the exact message of the first rule broken.
class QUANTREL_API PricingError : public std::runtime_error {
 public:
  PricingError(int32_t code, const std::string& message)
      : std::runtime_error(message), code_(code) {}
  int32_t code() const noexcept { return code_; }

 private:
  int32_t code_;
};

// A floating-point fault inside a model (a domain error, a pole or an overflow). It carries no
// error code; its message names the fault kind, "EInvalidOp" for every fault the models detect.
class QUANTREL_API MathFault : public PricingError {
 public:
  explicit MathFault(const std::string& kind = "EInvalidOp") : PricingError(None, kind) {}
};

// The enumeration member's name ("TimeExpireErr"), or nullptr for a value that is no error code.
QUANTREL_API const char* ErrorName(int32_t code) noexcept;
// The published description of an error code, or nullptr for a value that is no error code.
QUANTREL_API const char* ErrorDescription(int32_t code) noexcept;

}  // namespace quantrel
