#include "server/ExoticOptionsImpl.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "quantrel/errors.h"
#include "quantrel/models.h"

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

HRESULT ReportFailure(const MethodSpec& method, const char* message) {
  SetErrorInfo({IID_IQuantrel, kProgId, message ? message : "", kHelpFile,
                static_cast<uint32_t>(method.helpContext)});
  const int32_t code = LastErrorSlot();
  return code != None ? code : DISP_E_EXCEPTION;
}

}  // namespace

HRESULT ReportException(const MethodSpec& method, double* result, std::exception_ptr raised) {
  try {
    std::rethrow_exception(raised);
  } catch (const std::exception& e) {
    if (IsFloatingPointFault(e.what())) {
      ++FloatingPointFaults();
      if (result) *result = 0.0;
      return S_OK;
    }
    if (const auto* pricing = dynamic_cast<const PricingError*>(&e)) {
      if (pricing->code() != None) LastErrorSlot() = pricing->code();
    }
    return ReportFailure(method, e.what());
  } catch (...) {
    return ReportFailure(method, "");
  }
}

TQuantrelImpl::TQuantrelImpl() {
  LockModule();
}
TQuantrelImpl::~TQuantrelImpl() {
  UnlockModule();
}

HRESULT TQuantrelImpl::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IQuantrel) {
    *object = static_cast<IQuantrel*>(this);
  } else if (iid == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

uint32_t TQuantrelImpl::AddRef() {
  return ++references_;
}

uint32_t TQuantrelImpl::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT TQuantrelImpl::InterfaceSupportsErrorInfo(const Guid& iid) {
  return iid == IID_IQuantrel ? S_OK : S_FALSE;
}

// --- Early-bound methods ---

namespace {
const MethodSpec& Described(const char* name) {
  return *FindMethod(name);
}
}  // namespace

#define QUANTREL_METHOD(name, params, args)                                         \
  HRESULT Call##name(QUANTREL_UNPAREN params, double* Result) {                     \
    static const MethodSpec& described = Described(#name);                          \
    return ReportCall(described, Result, [&] {                                      \
      return quantrel::name(QUANTREL_UNPAREN args, &LastErrorSlot(), false, false); \
    });                                                                             \
  }                                                                                 \
  HRESULT TQuantrelImpl::name(QUANTREL_UNPAREN params, double* Result) {            \
    return Call##name(QUANTREL_UNPAREN args, Result);                               \
  }
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

}  // namespace quantrel::server
