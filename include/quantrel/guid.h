// Globally unique identifiers of the published interface.
#pragma once

#include <cstdint>
#include <string>

#include "quantrel/export.h"

namespace quantrel {

struct Guid {
  uint32_t data1;
  uint16_t data2, data3;
  uint8_t data4[8];

  friend bool operator==(const Guid&, const Guid&) = default;
};

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case, in braces.
QUANTREL_API std::string ToString(const Guid& guid);

inline constexpr Guid kNullGuid{};
// The Quantrel class, its IQuantrel interface and the Quantrelix type library.
inline constexpr Guid CLSID_Quantrel{
    0x5B3E2A71, 0x9C4D, 0x4F18, {0xA2, 0x6E, 0x13, 0x7D, 0x48, 0xC9, 0x0B, 0x55}};
inline constexpr Guid IID_IQuantrel{
    0x8E61D0C4, 0x2F7B, 0x4A93, {0xB1, 0x5C, 0x6A, 0x0E, 0x93, 0x27, 0xD4, 0x1F}};
inline constexpr Guid LIBID_Quantrelix{
    0x3A9F5E20, 0x71C6, 0x4B2D, {0x8E, 0x44, 0xF0, 0x5B, 0x6C, 0x12, 0x9A, 0x73}};
// The standard interfaces.
inline constexpr Guid IID_IUnknown{
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IDispatch{
    0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_IClassFactory{
    0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr Guid IID_ISupportErrorInfo{
    0xDF0B3D60, 0x548F, 0x101B, {0x8E, 0x65, 0x08, 0x00, 0x2B, 0x2B, 0xD1, 0x19}};

inline constexpr const char* kProgId = "Quantrelix.Quantrel";
inline constexpr const char* kClassDescription = "Evaluate Exotic Options with this library";
inline constexpr const char* kThreadingModel = "Apartment";
inline constexpr const char* kHelpFile = "Quantrel.hlp";
inline constexpr const char* kTypeLibraryName = "Quantrelix";
inline constexpr const char* kTypeLibraryHelpString = "Quantrelix 2.0 Type Library";
inline constexpr uint16_t kTypeLibraryMajor = 1, kTypeLibraryMinor = 0;
inline constexpr uint32_t kTypeLibraryLocale = 0x409;

}  // namespace quantrel
