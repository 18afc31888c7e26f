// Registration of the Windows server: the class and ProgID keys under HKEY_CLASSES_ROOT and the
// type library (which adds the interface's keys), and their removal.
#include <cwctype>
#include <string>

#include "server/RegistryEntries.h"
#include "server/windows/Server.h"

namespace quantrel::com {
namespace {

// The path written to the registry: the short (8.3) form when the name holds white space, so
// that a registered path never contains a blank.
std::wstring RegisteredPath(const std::wstring& file) {
  bool blank = false;
  for (wchar_t c : file) blank = blank || std::iswspace(c);
  if (!blank) return file;
  const DWORD length = GetShortPathNameW(file.c_str(), nullptr, 0);
  if (length == 0) return file;
  std::wstring shortName(length, L'\0');
  const DWORD written = GetShortPathNameW(file.c_str(), shortName.data(), length);
  if (written == 0 || written >= length) return file;
  shortName.resize(written);
  return shortName;
}

std::wstring Directory(const std::wstring& file) {
  const size_t slash = file.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

// A string value under HKEY_CLASSES_ROOT; the key is created as needed. `name` empty: the key's
// default value.
HRESULT SetValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  LONG status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  status = RegSetValueExW(handle, name && *name ? name : nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

// Removes a key with all its subkeys; a key that is not there is already removed.
HRESULT DeleteTree(const std::wstring& key) {
  const LONG status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return S_OK;
  return HRESULT_FROM_WIN32(status);
}

// The type library from the module file, with the class's entry and the library's attributes.
struct LoadedLibrary {
  LoadedLibrary() = default;
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;
  ITypeLib* library = nullptr;
  GUID libraryId{};
  WORD major = 0, minor = 0;
  LCID locale = 0;
  SYSKIND platform = SYS_WIN32;
  ~LoadedLibrary() {
    if (library) library->Release();
  }
};

HRESULT LoadOwnLibrary(const std::wstring& file, LoadedLibrary& out) {
  if (file.empty() || !ModuleHandle()) return E_INVALIDARG;
  HRESULT status = LoadTypeLibEx(file.c_str(), REGKIND_NONE, &out.library);
  if (FAILED(status)) return status;
  ITypeInfo* classInfo = nullptr;
  status = out.library->GetTypeInfoOfGuid(kClassId, &classInfo);
  if (FAILED(status)) return status;
  classInfo->Release();
  TLIBATTR* attributes = nullptr;
  status = out.library->GetLibAttr(&attributes);
  if (FAILED(status)) return status;
  out.libraryId = attributes->guid;
  out.major = attributes->wMajorVerNum;
  out.minor = attributes->wMinorVerNum;
  out.locale = attributes->lcid;
  out.platform = attributes->syskind;
  out.library->ReleaseTLibAttr(attributes);
  return S_OK;
}

}  // namespace
}  // namespace quantrel::com

using namespace quantrel;
using namespace quantrel::com;

STDAPI DllRegisterServer(void) {
  const std::wstring file = ModuleFileName();
  LoadedLibrary own;
  if (const HRESULT loaded = LoadOwnLibrary(file, own); FAILED(loaded)) return loaded;
  std::wstring modulePath = RegisteredPath(file);
  Guid libraryId;
  std::memcpy(&libraryId, &own.libraryId, sizeof libraryId);
  for (const server::RegistryEntry& e :
       server::ClassEntries(Narrow(modulePath), CLSID_Quantrel, libraryId, own.major, own.minor)) {
    const HRESULT set =
        SetValue(Widen(e.key.c_str()), Widen(e.name.c_str()).c_str(), Widen(e.value.c_str()));
    if (FAILED(set)) return set;
  }
  if (const HRESULT registered = RegisterTypeLib(own.library, modulePath.data(), nullptr);
      FAILED(registered)) {
    return registered;
  }

  // The registration that stays in effect: from the module itself, or a .tlb beside it, with the
  // module's folder as the help directory.
  std::wstring libraryFile = file;
  LoadedLibrary second;
  if (FAILED(LoadOwnLibrary(libraryFile, second))) {
    libraryFile = server::TypeLibraryFallback(file);
    if (const HRESULT loaded = LoadOwnLibrary(libraryFile, second); FAILED(loaded)) return loaded;
  }
  std::wstring registeredFile = RegisteredPath(libraryFile), helpDirectory = Directory(modulePath);
  return RegisterTypeLib(second.library, registeredFile.data(), helpDirectory.data());
}

STDAPI DllUnregisterServer(void) {
  LoadedLibrary own;
  if (const HRESULT loaded = LoadOwnLibrary(ModuleFileName(), own); FAILED(loaded)) return loaded;
  for (const std::string& key : server::ClassKeys(CLSID_Quantrel)) {
    if (const HRESULT removed = DeleteTree(Widen(key.c_str())); FAILED(removed)) return removed;
  }
  // The type library stays registered, as its own entry: clients built against it still find it
  // by its identifier.
  return S_OK;
}
