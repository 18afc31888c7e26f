// The method wrappers of TQuantrelImpl: forward to the model entry, store Result, and turn what was
// raised into a status and the thread's error information. Free of platform types, so that the
// portable object and the Windows object share them.
#include <algorithm>
#include <exception>
#include <iterator>
#include <string_view>

#include "quantrel/models.h"
#include "server/MethodWrappers.h"

namespace quantrel::server {

int32_t& LastErrorSlot() noexcept {
  thread_local int32_t slot = None;
  return slot;
}

uint64_t& FloatingPointFaults() noexcept {
  thread_local uint64_t count = 0;
  return count;
}

namespace {

bool IsFloatingPointFault(const char* message) {
  static constexpr std::string_view kFaults[] = {"EInvalidOp", "EZeroDivide", "EDivByZero",
                                                 "EOverflow"};
  return std::find(std::begin(kFaults), std::end(kFaults), message) != std::end(kFaults);
}

Status ReportFailure(const MethodSpec& method, const char* message) {
  PublishErrorInfo(method, message ? message : "");
  const int32_t code = LastErrorSlot();
  return code != None ? code : kDispatchException;
}

}  // namespace

Status ReportException(const MethodSpec& method, double* result, std::exception_ptr raised) {
  try {
    std::rethrow_exception(raised);
  } catch (const std::exception& e) {
    if (IsFloatingPointFault(e.what())) {
      ++FloatingPointFaults();
      if (result) *result = 0.0;
      return 0;
    }
    if (const auto* pricing = dynamic_cast<const PricingError*>(&e)) {
      if (pricing->code() != None) LastErrorSlot() = pricing->code();
    }
    return ReportFailure(method, e.what());
  } catch (...) {
    return ReportFailure(method, "");
  }
}

namespace {
const MethodSpec& Described(const char* name) {
  return *FindMethod(name);
}
}  // namespace

#define QUANTREL_METHOD(name, params, args)                                         \
  Status Call##name(QUANTREL_UNPAREN params, double* Result) {                      \
    static const MethodSpec& described = Described(#name);                          \
    return ReportCall(described, Result, [&] {                                      \
      return quantrel::name(QUANTREL_UNPAREN args, &LastErrorSlot(), false, false); \
    });                                                                             \
  }
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

}  // namespace quantrel::server
