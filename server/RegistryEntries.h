// What registration writes for the creatable class, shared by the portable server and the Windows
// one: the class and ProgID keys with their values, in the order they are written, and the file a
// type library is looked for in when the module does not hold one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quantrel/guid.h"

namespace quantrel::server {

struct RegistryEntry {
  std::string key;    // under the classes root
  std::string name;   // "" names the key's default value
  std::string value;  // every value is a string
};

// The class key "CLSID\{...}" and the ProgID key, for a module at `modulePath` (as registered)
// whose type library has the given identifier and version.
inline std::vector<RegistryEntry> ClassEntries(const std::string& modulePath, const Guid& classId,
                                               const Guid& libraryId, uint16_t major,
                                               uint16_t minor) {
  const std::string classKey = "CLSID\\" + ToString(classId), progIdKey = kProgId;
  const std::string version = std::to_string(major) + "." + std::to_string(minor);
  return {
      {classKey, "", kClassDescription},
      {classKey + "\\InprocServer32", "", modulePath},
      {classKey + "\\InprocServer32", "ThreadingModel", kThreadingModel},
      {progIdKey, "", kClassDescription},
      {progIdKey + "\\CLSID", "", ToString(classId)},
      {classKey + "\\ProgID", "", kProgId},
      {classKey + "\\Version", "", version},
      {classKey + "\\Typelib", "", ToString(libraryId)},
  };
}

// The keys unregistration removes with all their subkeys.
inline std::vector<std::string> ClassKeys(const Guid& classId) {
  return {"CLSID\\" + ToString(classId), kProgId};
}

// "name.dll" -> "name.tlb"; ".tlb" appended when the file name has no extension. `String` is a
// narrow or wide string.
template <class String>
String TypeLibraryFallback(const String& file) {
  using Char = typename String::value_type;
  const Char slashes[] = {Char('/'), Char('\\'), Char(0)};
  const Char tlb[] = {Char('.'), Char('t'), Char('l'), Char('b'), Char(0)};
  const size_t dot = file.rfind(Char('.'));
  const size_t slash = file.find_last_of(slashes);
  if (dot == String::npos || (slash != String::npos && dot < slash)) return file + tlb;
  return file.substr(0, dot) + tlb;
}

}  // namespace quantrel::server
