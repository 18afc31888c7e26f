// TQuantrelImpl: the Quantrel object. Each early-bound method hands its inputs to the model entry
// and turns whatever is raised on the way into a status and the thread's error information.
#pragma once

#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>

#include "quantrel/automation.h"
#include "quantrel/bindings.h"
#include "quantrel/catalogue.h"
#include "quantrel/errors.h"

namespace quantrel::server {

// The calling thread's last error code slot, handed to every model entry.
int32_t& LastErrorSlot() noexcept;

// How many calls on this thread ended in a floating-point fault reported as a zero result: the
// caller cannot tell those from a genuine 0, tests and diagnostics can.
uint64_t& FloatingPointFaults() noexcept;

// Runs one model call as a method of the interface: stores its value in `result` and returns
// S_OK; turns the four floating-point fault names into 0.0 and S_OK; reports any other failure
// through the thread's error information and returns the stored error code (DISP_E_EXCEPTION
// when there is none), leaving `result` untouched.
template <class Call>
HRESULT ReportCall(const MethodSpec& method, double* result, Call&& call);

// What ReportCall does with an exception that escaped the call.
HRESULT ReportException(const MethodSpec& method, double* result, std::exception_ptr raised);

template <class Call>
HRESULT ReportCall(const MethodSpec& method, double* result, Call&& call) {
  // A failure must report its own code, never one left over from an earlier call on this thread.
  LastErrorSlot() = None;
  try {
    const double value = call();
    if (result) *result = value;
    return S_OK;
  } catch (...) {
    return ReportException(method, result, std::current_exception());
  }
}

// The early-bound methods as free functions, shared by the object and the C interface.
#define QUANTREL_METHOD(name, params, args) \
  HRESULT Call##name(QUANTREL_UNPAREN params, double* Result);
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

class TQuantrelImpl final : public IQuantrel, public ISupportErrorInfo {
 public:
  TQuantrelImpl();
  TQuantrelImpl(const TQuantrelImpl&) = delete;
  TQuantrelImpl& operator=(const TQuantrelImpl&) = delete;

  HRESULT QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

  HRESULT GetIDsOfNames(std::span<const std::string_view> names, int32_t* ids) override;
  HRESULT Invoke(int32_t dispId, const DispParams& params, Variant* result, ExcepInfo* excepInfo,
                 uint32_t* argErr) override;

  HRESULT InterfaceSupportsErrorInfo(const Guid& iid) override;

#define QUANTREL_METHOD(name, params, args) \
  HRESULT name(QUANTREL_UNPAREN params, double* Result) override;
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

 private:
  ~TQuantrelImpl();
  std::atomic<uint32_t> references_{1};
};

// The late-bound call behind every IDispatch of the server.
HRESULT InvokeMethod(int32_t dispId, const DispParams& params, Variant* result,
                     ExcepInfo* excepInfo, uint32_t* argErr);
HRESULT IdsOfNames(std::span<const std::string_view> names, int32_t* ids);
// Looks up and invokes by name through the given lookup and invoke (the InvokeByName core).
HRESULT InvokeNamed(
    const std::function<HRESULT(std::span<const std::string_view>, int32_t*)>& lookup,
    const std::function<HRESULT(int32_t, const DispParams&, Variant*, ExcepInfo*, uint32_t*)>&
        invoke,
    std::string_view method, std::span<const Variant> positional,
    std::span<const NamedArgument> named, double* result, ExcepInfo* excepInfo, uint32_t* argErr);

// Module lock count: live objects plus server locks.
void LockModule() noexcept;
void UnlockModule() noexcept;

}  // namespace quantrel::server
