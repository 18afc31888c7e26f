// Enumerations and error codes as tables, built from the same lists as the public enum types.
#include "quantrel/catalogue.h"
#include "quantrel/enums.h"
#include "quantrel/errors.h"

namespace quantrel {
namespace {

// One member array per enumeration...
#define QUANTREL_ENUM_BEGIN(name) constexpr EnumMember k_##name[] = {
#define QUANTREL_ENUM_MEMBER(name, member, value) {#member, member},
#define QUANTREL_ENUM_END(name) \
  }                             \
  ;
#include "quantrel/enumerations.inc"
#undef QUANTREL_ENUM_BEGIN
#undef QUANTREL_ENUM_MEMBER
#undef QUANTREL_ENUM_END

// ...and the table of enumerations.
#define QUANTREL_ENUM_BEGIN(name) {#name, k_##name},
#define QUANTREL_ENUM_MEMBER(name, member, value)
#define QUANTREL_ENUM_END(name)
constexpr EnumerationSpec kEnumerations[] = {
#include "quantrel/enumerations.inc"
};
#undef QUANTREL_ENUM_BEGIN
#undef QUANTREL_ENUM_MEMBER
#undef QUANTREL_ENUM_END

#define QUANTREL_ERROR(name, value, description, raised) {#name, name, description, raised},
constexpr ErrorSpec kErrors[] = {
#include "quantrel/error_codes.inc"
};
#undef QUANTREL_ERROR

const ErrorSpec* FindError(int32_t code) noexcept {
  for (const ErrorSpec& e : kErrors) {
    if (e.code == code) return &e;
  }
  return nullptr;
}

}  // namespace

std::span<const EnumerationSpec> Enumerations() noexcept {
  return kEnumerations;
}

const EnumerationSpec* FindEnumeration(std::string_view name) noexcept {
  for (const EnumerationSpec& e : kEnumerations) {
    if (EqualsIgnoreCase(e.name, name)) return &e;
  }
  return nullptr;
}

const EnumMember* FindMember(const EnumerationSpec& enumeration, std::string_view name) noexcept {
  for (const EnumMember& m : enumeration.members) {
    if (EqualsIgnoreCase(m.name, name)) return &m;
  }
  return nullptr;
}

std::span<const ErrorSpec> ErrorCodes() noexcept {
  return kErrors;
}

const char* ErrorName(int32_t code) noexcept {
  const ErrorSpec* e = FindError(code);
  return e ? e->name : nullptr;
}

const char* ErrorDescription(int32_t code) noexcept {
  const ErrorSpec* e = FindError(code);
  return e ? e->description : nullptr;
}

}  // namespace quantrel
