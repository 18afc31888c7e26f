// The enumerations of the published interface. Each is a plain 32-bit integer type so that values
// from scripts and spreadsheets pass through unchanged; out-of-range values are reported by the
// pricing methods' own validation.
#pragma once

#include <cstdint>

namespace quantrel {

#define QUANTREL_ENUM_BEGIN(name) enum name : int32_t {
#define QUANTREL_ENUM_MEMBER(name, member, value) member = value,
#define QUANTREL_ENUM_END(name) \
  }                             \
  ;
#include "quantrel/enumerations.inc"
#undef QUANTREL_ENUM_BEGIN
#undef QUANTREL_ENUM_MEMBER
#undef QUANTREL_ENUM_END

}  // namespace quantrel
