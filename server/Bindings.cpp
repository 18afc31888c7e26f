// The binding table: every available method callable with its inputs as plain numbers in interface
// order, built from the methods list with the parameter types taken from the functions themselves.
#include <algorithm>
#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "quantrel/bindings.h"
#include "server/ExoticOptionsImpl.h"

namespace quantrel {

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
#define QUANTREL_METHOD(name, params, args)                          \
  {FindMethod(#name), Binder<&server::Call##name>::kIsDouble, #args, \
   &Binder<&server::Call##name>::Call},
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

}  // namespace quantrel
