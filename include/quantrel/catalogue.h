// The published interface as data: every pricing method with its dispatch id, help string, help
// context and inputs; every enumeration with its members; every error code. Late-bound calls, the
// command-line program and registration are driven from these tables.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "quantrel/export.h"

namespace quantrel {

enum class InputType { Double, Int32, Enum };

struct InputSpec {
  const char* name;
  InputType type;
  const char* enumeration;  // the enumeration's name for an Enum input, else nullptr
  bool optional;
  double defaultValue = 0;       // what an omitted optional input stands for
  bool declaredDefault = false;  // true where the interface itself declares the default
};

struct MethodSpec {
  const char* name;
  int32_t dispatchId;
  const char* helpString;
  int32_t helpContext;
  std::span<const InputSpec> inputs;
};

struct EnumMember {
  const char* name;
  int32_t value;
};

struct EnumerationSpec {
  const char* name;
  std::span<const EnumMember> members;
};

struct ErrorSpec {
  const char* name;
  int32_t code;
  const char* description;  // the published description
  bool raised;              // false for codes no pricing method raises
};

// The 48 methods in interface order.
QUANTREL_API std::span<const MethodSpec> Methods() noexcept;
// Case-insensitive, as automation looks names up; nullptr when there is no such method.
QUANTREL_API const MethodSpec* FindMethod(std::string_view name) noexcept;
QUANTREL_API const MethodSpec* FindMethodByDispatchId(int32_t dispatchId) noexcept;

QUANTREL_API std::span<const EnumerationSpec> Enumerations() noexcept;
QUANTREL_API const EnumerationSpec* FindEnumeration(std::string_view name) noexcept;
// A member by name (case-insensitive) within an enumeration; nullptr when absent.
QUANTREL_API const EnumMember* FindMember(const EnumerationSpec& enumeration,
                                          std::string_view name) noexcept;

QUANTREL_API std::span<const ErrorSpec> ErrorCodes() noexcept;

// Names compare as automation compares them: ASCII letters in any case.
constexpr bool EqualsIgnoreCase(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const char x = a[i] >= 'A' && a[i] <= 'Z' ? a[i] - 'A' + 'a' : a[i];
    const char y = b[i] >= 'A' && b[i] <= 'Z' ? b[i] - 'A' + 'a' : b[i];
    if (x != y) return false;
  }
  return true;
}

}  // namespace quantrel
