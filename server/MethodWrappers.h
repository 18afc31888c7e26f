// The method wrappers of TQuantrelImpl as free functions, free of any platform's component-object
// types: each hands its inputs to the model entry, stores the value in Result and returns 0, or
// turns what was raised into a status and the calling thread's error information. The portable
// object and the Windows object both forward their early-bound methods here.
#pragma once

#include <cstdint>
#include <exception>

#include "quantrel/catalogue.h"
#include "quantrel/errors.h"

#ifndef QUANTREL_UNPAREN
#define QUANTREL_UNPAREN(...) __VA_ARGS__
#endif

namespace quantrel::server {

// A method's status: 0 on success, else an error code or 0x80020009 (an exception without one).
using Status = int32_t;
inline constexpr Status kDispatchException = static_cast<int32_t>(0x80020009);

// The calling thread's last error code slot, handed to every model entry.
int32_t& LastErrorSlot() noexcept;

// How many calls on this thread ended in a floating-point fault reported as a zero result: the
// caller cannot tell those from a genuine 0, tests and diagnostics can.
uint64_t& FloatingPointFaults() noexcept;

// Installs the error information of a failed call of `method` as the calling thread's current
// one: the interface's GUID, the ProgID as source, the help file and the method's help context,
// and `description`. Each platform's server defines it.
void PublishErrorInfo(const MethodSpec& method, const char* description);

// What ReportCall does with an exception that escaped the call.
Status ReportException(const MethodSpec& method, double* result, std::exception_ptr raised);

// Runs one model call as a method of the interface: stores its value in `result` and returns 0;
// turns the four floating-point fault names into 0.0 and 0; reports any other failure through
// the thread's error information and returns the stored error code (0x80020009 when there is
// none), leaving `result` untouched.
template <class Call>
Status ReportCall(const MethodSpec& method, double* result, Call&& call) {
  // A failure must report its own code, never one left over from an earlier call on this thread.
  LastErrorSlot() = None;
  try {
    const double value = call();
    if (result) *result = value;
    return 0;
  } catch (...) {
    return ReportException(method, result, std::current_exception());
  }
}

// The early-bound methods, shared by the objects and the C interface.
#define QUANTREL_METHOD(name, params, args) \
  Status Call##name(QUANTREL_UNPAREN params, double* Result);
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

}  // namespace quantrel::server
