// The catalogue of the published interface, answered from its constant tables.
#include "quantrel/catalogue.h"

#include <cstdio>

#include "core/Published.h"
#include "quantrel/guid.h"

namespace quantrel {

std::string ToString(const Guid& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return text;
}

std::span<const MethodSpec> Methods() noexcept {
  return published::kMethods;
}

const MethodSpec* FindMethod(std::string_view name) noexcept {
  return published::Method(name);
}

const MethodSpec* FindMethodByDispatchId(int32_t dispatchId) noexcept {
  for (const MethodSpec& m : published::kMethods) {
    if (m.dispatchId == dispatchId) return &m;
  }
  return nullptr;
}

std::span<const EnumerationSpec> Enumerations() noexcept {
  return published::kEnumerations;
}

const EnumerationSpec* FindEnumeration(std::string_view name) noexcept {
  return published::Enumeration(name);
}

const EnumMember* FindMember(const EnumerationSpec& enumeration, std::string_view name) noexcept {
  for (const EnumMember& m : enumeration.members) {
    if (EqualsIgnoreCase(m.name, name)) return &m;
  }
  return nullptr;
}

std::span<const ErrorSpec> ErrorCodes() noexcept {
  return published::kErrors;
}

const char* ErrorName(int32_t code) noexcept {
  const ErrorSpec* e = published::Error(code);
  return e ? e->name : nullptr;
}

const char* ErrorDescription(int32_t code) noexcept {
  const ErrorSpec* e = published::Error(code);
  return e ? e->description : nullptr;
}

}  // namespace quantrel
