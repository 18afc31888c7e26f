// The public C++ functions of every available method, generated from the methods list: each packs
// its arguments, by name, into the method's Arguments struct and calls the entry its model unit
// publishes. The build checks the list against the public declarations and the catalogue.
#include <string_view>
#include <type_traits>

#include "core/Arguments.h"
#include "core/Published.h"
#include "quantrel/models.h"

namespace quantrel {
namespace {

// "(int32_t OptionType, double AssetPrice)" against a method's inputs in the catalogue: the same
// names in the same order, double for a double input and int32_t for an integer or enumeration.
constexpr bool MatchesInputs(const MethodSpec& m, std::string_view params) {
  if (params.size() < 2) return false;
  params = params.substr(1, params.size() - 2);
  size_t index = 0;
  while (!params.empty()) {
    const size_t comma = params.find(',');
    std::string_view declaration = params.substr(0, comma);
    params = comma == std::string_view::npos ? std::string_view() : params.substr(comma + 1);
    while (!declaration.empty() && declaration.front() == ' ') declaration.remove_prefix(1);
    const size_t blank = declaration.find(' ');
    if (blank == std::string_view::npos || index >= m.inputs.size()) return false;
    const std::string_view type = declaration.substr(0, blank),
                           name = declaration.substr(blank + 1);
    const InputSpec& input = m.inputs[index++];
    const std::string_view expected = input.type == InputType::Double ? "double" : "int32_t";
    if (name != input.name || type != expected) return false;
  }
  return index == m.inputs.size();
}

// Looked up without comparing a pointer into the catalogue with null: GCC's undefined-behaviour
// checks keep that from being evaluated at compile time.
constexpr bool MatchesCatalogue(std::string_view method, std::string_view params) {
  for (const MethodSpec& m : published::kMethods) {
    if (EqualsIgnoreCase(m.name, method)) return MatchesInputs(m, params);
  }
  return false;
}

}  // namespace

#define QUANTREL_METHOD(name, params, args)                                                       \
  static_assert(MatchesCatalogue(#name, #params),                                                 \
                "methods.inc: " #name " differs from the catalogue's inputs");                    \
  static_assert(                                                                                  \
      std::is_same_v<decltype(&name), double (*)(QUANTREL_UNPAREN params, int32_t*, bool, bool)>, \
      "the public declaration of " #name " differs from methods.inc");                            \
  double name(QUANTREL_UNPAREN params, int32_t* ErrorCode, bool RawSensitivities,                 \
              bool SkipValidation) {                                                              \
    return core::Enter(core::name##Arguments{QUANTREL_UNPAREN args}, ErrorCode, RawSensitivities, \
                       SkipValidation);                                                           \
  }
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

}  // namespace quantrel
