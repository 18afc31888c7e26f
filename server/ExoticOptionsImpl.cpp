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

// --- Bindings for late-bound calls ---

namespace {

template <class Function>
struct Signature;
template <class... Params>
struct Signature<HRESULT (*)(Params...)> {
  using Tuple = std::tuple<Params...>;
  static constexpr size_t kInputs = sizeof...(Params) - 1;  // the last is Result
};

template <auto Member>
struct Binder {
  using Sig = Signature<decltype(Member)>;
  static constexpr size_t N = Sig::kInputs;

  static constexpr std::array<bool, N> kIsDouble = [] {
    std::array<bool, N> flags{};
    [&]<size_t... I>(std::index_sequence<I...>) {
      ((flags[I] = std::is_same_v<std::tuple_element_t<I, typename Sig::Tuple>, double>), ...);
    }
    (std::make_index_sequence<N>{});
    return flags;
  }();

  static HRESULT Call(std::span<const Argument> inputs, double* result) {
    return [&]<size_t... I>(std::index_sequence<I...>) {
      return Member(Get<std::tuple_element_t<I, typename Sig::Tuple>>(inputs[I])..., result);
    }
    (std::make_index_sequence<N>{});
  }

  template <class T>
  static T Get(const Argument& a) {
    if constexpr (std::is_same_v<T, double>) {
      return a.d;
    } else {
      return a.i;
    }
  }
};

std::vector<MethodBinding> MakeBindings() {
  std::vector<MethodBinding> bindings = {
#define QUANTREL_METHOD(name, params, args) \
  {FindMethod(#name), Binder<&Call##name>::kIsDouble, #args, &Binder<&Call##name>::Call},
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD
  };
  std::sort(bindings.begin(), bindings.end(), [](const MethodBinding& a, const MethodBinding& b) {
    return a.method < b.method;  // the catalogue's own order
  });
  return bindings;
}

}  // namespace

std::span<const MethodBinding> Bindings() {
  static const std::vector<MethodBinding> bindings = MakeBindings();
  return bindings;
}

const MethodBinding* FindBinding(int32_t dispId) {
  for (const MethodBinding& b : Bindings()) {
    if (b.method->dispatchId == dispId) return &b;
  }
  return nullptr;
}

}  // namespace quantrel::server
