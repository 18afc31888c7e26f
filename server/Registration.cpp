// Registration of the server: the class and ProgID keys, the type library, and their removal.
#include <dlfcn.h>
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "server/Registry.h"
#include "server/RegistryEntries.h"

namespace quantrel {
namespace {

// Any function of this module: its address tells which file the module was loaded from.
void ModuleAnchor() {}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

constexpr const char* kUniversalMarshaler = "{00020424-0000-0000-C000-000000000046}";

std::string TypeLibKey() {
  return std::string("TypeLib\\") + ToString(LIBID_Quantrelix) + "\\" +
         std::to_string(kTypeLibraryMajor) + "." + std::to_string(kTypeLibraryMinor);
}

// Records the type library, as the platform's type-library registration does.
void RegisterTypeLibrary(server::Registry& registry, const std::string& file,
                         const std::string& helpDirectory) {
  const std::string lib = TypeLibKey();
  registry.SetValue(lib, "", kTypeLibraryHelpString);
  registry.SetValue(lib + "\\0\\unix", "", RegisteredModulePath(file));
  registry.SetValue(lib + "\\FLAGS", "", "0");
  registry.SetValue(lib + "\\HELPDIR", "", helpDirectory);
  const std::string iface = std::string("Interface\\") + ToString(IID_IQuantrel);
  registry.SetValue(iface, "", "IQuantrel");
  registry.SetValue(iface + "\\ProxyStubClsid32", "", kUniversalMarshaler);
  registry.SetValue(iface + "\\TypeLib", "", ToString(LIBID_Quantrelix));
  registry.SetValue(iface + "\\TypeLib", "Version", "1.0");
}

}  // namespace

std::string ModuleFileName() {
  Dl_info info{};
  if (!::dladdr(reinterpret_cast<void*>(&ModuleAnchor), &info) || !info.dli_fname) return {};
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::weakly_canonical(info.dli_fname, ec);
  return ec ? std::string(info.dli_fname) : full.string();
}

std::string RegisteredModulePath(const std::string& fileName) {
  const bool blank = std::any_of(fileName.begin(), fileName.end(),
                                 [](unsigned char c) { return std::isspace(c); });
  if (!blank) return fileName;
  std::string out = "file://";
  for (unsigned char c : fileName) {
    if (std::isspace(c) || c == '%') {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string PathFromRegisteredModulePath(const std::string& registered) {
  constexpr std::string_view kScheme = "file://";
  if (!registered.starts_with(kScheme)) return registered;
  std::string out;
  for (size_t i = kScheme.size(); i < registered.size(); ++i) {
    if (registered[i] == '%' && i + 2 < registered.size() &&
        std::isxdigit(static_cast<unsigned char>(registered[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(registered[i + 2]))) {
      out += static_cast<char>(std::stoi(registered.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += registered[i];
    }
  }
  return out;
}

HRESULT LoadTypeLibrary(const std::string& path, TypeLibraryAttributes* attributes) {
  if (path.empty() || !SameFile(path, ModuleFileName())) return TYPE_E_CANTLOADLIBRARY;
  if (attributes) {
    *attributes = {LIBID_Quantrelix, kTypeLibraryMajor, kTypeLibraryMinor, kTypeLibraryLocale,
                   CLSID_Quantrel};
  }
  return S_OK;
}

HRESULT LoadRegisteredTypeLibrary(const Guid& libraryId, uint16_t major, uint16_t minor,
                                  TypeLibraryAttributes* attributes) {
  server::Registry registry;
  if (const HRESULT read = server::Registry::Read(registry); read != S_OK) return read;
  const std::string key = std::string("TypeLib\\") + ToString(libraryId) + "\\" +
                          std::to_string(major) + "." + std::to_string(minor) + "\\0\\unix";
  const std::optional<std::string> file = registry.GetValue(key);
  if (!file) return TYPE_E_LIBNOTREGISTERED;
  return LoadTypeLibrary(PathFromRegisteredModulePath(*file), attributes);
}

}  // namespace quantrel

using namespace quantrel;

extern "C" HRESULT DllRegisterServer(void) {
  const std::string file = ModuleFileName();
  TypeLibraryAttributes attributes{};
  if (const HRESULT loaded = LoadTypeLibrary(file, &attributes); loaded != S_OK) return loaded;
  const std::string modulePath = RegisteredModulePath(file);

  return server::Registry::Update([&](server::Registry& registry) {
    for (const server::RegistryEntry& e :
         server::ClassEntries(modulePath, attributes.classId, attributes.libraryId,
                              attributes.major, attributes.minor)) {
      registry.SetValue(e.key, e.name, e.value);
    }
    RegisterTypeLibrary(registry, file, "");

    // The second registration stays in effect: from the module itself, or a .tlb beside it.
    std::string typeLibFile = file;
    HRESULT loaded = LoadTypeLibrary(typeLibFile, nullptr);
    if (loaded != S_OK) {
      typeLibFile = server::TypeLibraryFallback(file);
      loaded = LoadTypeLibrary(typeLibFile, nullptr);
    }
    if (loaded != S_OK) return loaded;
    RegisterTypeLibrary(registry, typeLibFile,
                        RegisteredModulePath(std::filesystem::path(file).parent_path().string()));
    return S_OK;
  });
}

extern "C" HRESULT DllUnregisterServer(void) {
  TypeLibraryAttributes attributes{};
  if (const HRESULT loaded = LoadTypeLibrary(ModuleFileName(), &attributes); loaded != S_OK) {
    return loaded;
  }
  return server::Registry::Update([&](server::Registry& registry) {
    for (const std::string& key : server::ClassKeys(attributes.classId)) registry.DeleteTree(key);
    return S_OK;
  });
}
