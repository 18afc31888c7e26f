// A stand-in for the system registry's classes root: keys holding a default value and named
// string values, kept in one text file. Every change is a read-modify-write under an exclusive
// file lock, written to a temporary file and renamed into place, so a crash never leaves a torn
// file and processes registering at the same time lose nothing.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "quantrel/automation.h"

namespace quantrel::server {

class Registry {
 public:
  struct Key {
    std::string path;                                         // "CLSID\{...}\InprocServer32"
    std::vector<std::pair<std::string, std::string>> values;  // "" names the default value
  };

  // The file: the one set by SetRegistryFile, else $QUANTREL_REGISTRY, else
  // $XDG_CONFIG_HOME/quantrel/classes_root.reg (~/.config when that is unset).
  static std::filesystem::path Location();

  // Reads the current contents.
  static HRESULT Read(Registry& out);
  // Runs `change` on the current contents under the lock and writes the result back when it
  // succeeds; a failed change writes nothing.
  static HRESULT Update(const std::function<HRESULT(Registry&)>& change);

  // Key paths and value names compare without regard to case, as the platform's registry does.
  void SetValue(std::string_view key, std::string_view name, std::string_view value);
  std::optional<std::string> GetValue(std::string_view key, std::string_view name = "") const;
  bool HasKey(std::string_view key) const;
  // Removes a key with all its subkeys, deepest first.
  void DeleteTree(std::string_view key);
  const std::vector<Key>& Keys() const { return keys_; }

  std::string Serialise() const;
  static std::optional<Registry> Parse(std::string_view text);

 private:
  Key* Find(std::string_view key);
  const Key* Find(std::string_view key) const;
  std::vector<Key> keys_;  // in the order they were created
};

}  // namespace quantrel::server
