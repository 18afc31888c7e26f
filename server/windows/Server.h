// What the Windows server's units share: the module's handle and lock count, its file name, the
// type library embedded in it, and the library's identifiers as the platform's GUIDs.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <cstring>
#include <string>

#include "quantrel/guid.h"

namespace quantrel::com {

inline GUID ToGuid(const Guid& g) {
  static_assert(sizeof(GUID) == sizeof(Guid));
  GUID out;
  std::memcpy(&out, &g, sizeof out);
  return out;
}

inline const GUID kClassId = ToGuid(CLSID_Quantrel);
inline const GUID kInterfaceId = ToGuid(IID_IQuantrel);
inline const GUID kLibraryId = ToGuid(LIBID_Quantrelix);

// UTF-8 text as the platform's wide strings.
inline std::wstring Widen(const char* text) {
  if (!text || !*text) return {};
  const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (length <= 1) return {};
  std::wstring out(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), length);
  out.resize(length - 1);
  return out;
}

// The platform's wide strings as UTF-8.
inline std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string out(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), length, nullptr, nullptr);
  out.resize(length - 1);
  return out;
}

// Set when the module is loaded; null before (the module state is then not initialised).
HINSTANCE ModuleHandle() noexcept;
// Objects alive plus server locks.
void LockModule() noexcept;
void UnlockModule() noexcept;

// The full file name of the module, as loaded.
std::wstring ModuleFileName();

// The type information of IQuantrel from the type library embedded in the module, loaded once.
// The caller gets its own reference.
HRESULT InterfaceTypeInfo(ITypeInfo** info);

}  // namespace quantrel::com
