// The automation layer: the creatable Quantrel object and its IQuantrel interface, called early
// bound (a virtual method per pricing method) or late bound by name (IDispatch), with status
// results and per-thread error information; the class factory and the server entry points.
// These are small portable stand-ins for the platform's component-object plumbing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "quantrel/export.h"
#include "quantrel/guid.h"

namespace quantrel {

using HRESULT = int32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOINTERFACE = static_cast<int32_t>(0x80004002);
inline constexpr HRESULT E_POINTER = static_cast<int32_t>(0x80004003);
inline constexpr HRESULT E_FAIL = static_cast<int32_t>(0x80004005);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<int32_t>(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = static_cast<int32_t>(0x80070057);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<int32_t>(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<int32_t>(0x80040111);
inline constexpr HRESULT REGDB_E_READREGDB = static_cast<int32_t>(0x80040150);
inline constexpr HRESULT REGDB_E_WRITEREGDB = static_cast<int32_t>(0x80040151);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<int32_t>(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = static_cast<int32_t>(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<int32_t>(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<int32_t>(0x80020006);
inline constexpr HRESULT DISP_E_EXCEPTION = static_cast<int32_t>(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = static_cast<int32_t>(0x8002000A);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<int32_t>(0x8002000E);
inline constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = static_cast<int32_t>(0x8002000F);
inline constexpr HRESULT TYPE_E_LIBNOTREGISTERED = static_cast<int32_t>(0x8002801D);
inline constexpr HRESULT TYPE_E_CANTLOADLIBRARY = static_cast<int32_t>(0x80029C4A);

constexpr bool Succeeded(HRESULT hr) {
  return hr >= 0;
}

// --- Error information (one current object per thread) ---

struct ErrorInfo {
  Guid guid;
  std::string source;
  std::string description;
  std::string helpFile;
  uint32_t helpContext = 0;
};

// Installs `info` as the calling thread's current error information.
QUANTREL_API void SetErrorInfo(const ErrorInfo& info);
// Takes the calling thread's current error information, leaving none; S_FALSE when there is none.
QUANTREL_API HRESULT GetErrorInfo(ErrorInfo& info);

// --- Values passed to late-bound calls ---

struct Variant {
  enum class Type { Empty, Missing, Int32, Double, Bool, String };
  Type type = Type::Empty;
  int32_t i4 = 0;
  double r8 = 0;
  bool b = false;
  std::string str;

  static Variant Missing() { return With(Type::Missing); }  // an omitted optional argument
  static Variant Of(int32_t v) {
    Variant x = With(Type::Int32);
    x.i4 = v;
    return x;
  }
  static Variant Of(double v) {
    Variant x = With(Type::Double);
    x.r8 = v;
    return x;
  }
  static Variant Of(bool v) {
    Variant x = With(Type::Bool);
    x.b = v;
    return x;
  }
  static Variant Of(std::string v) {
    Variant x = With(Type::String);
    x.str = std::move(v);
    return x;
  }

 private:
  static Variant With(Type t) {
    Variant x;
    x.type = t;
    return x;
  }
};

// Arguments of a late-bound call in the automation order: `args` holds the named arguments first
// (their parameter ids in `namedIds`, same order), then the positional ones in reverse order.
struct DispParams {
  std::span<const Variant> args;
  std::span<const int32_t> namedIds;
};

struct ExcepInfo {
  HRESULT scode = S_OK;
  std::string source;
  std::string description;
  std::string helpFile;
  uint32_t helpContext = 0;
};

// --- Interfaces ---

class IUnknown {
 public:
  virtual HRESULT QueryInterface(const Guid& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

class IDispatch : public IUnknown {
 public:
  // names[0] is a method, names[1..] its parameters; each id is the dispatch id of the method,
  // then the parameters' positions. DISP_E_UNKNOWNNAME when any is unknown (its id is -1).
  virtual HRESULT GetIDsOfNames(std::span<const std::string_view> names, int32_t* ids) = 0;
  // Calls a method. A failure of the method itself is DISP_E_EXCEPTION with `excepInfo` filled
  // (its scode the method's status); a wrong call is its own status, with `argErr` naming the
  // offending argument's index in params.args (for DISP_E_PARAMNOTOPTIONAL: the position of the
  // missing input).
  virtual HRESULT Invoke(int32_t dispId, const DispParams& params, Variant* result,
                         ExcepInfo* excepInfo, uint32_t* argErr) = 0;

 protected:
  ~IDispatch() = default;
};

class ISupportErrorInfo : public IUnknown {
 public:
  virtual HRESULT InterfaceSupportsErrorInfo(const Guid& iid) = 0;

 protected:
  ~ISupportErrorInfo() = default;
};

class IClassFactory : public IUnknown {
 public:
  virtual HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
  virtual HRESULT LockServer(bool lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// The dual interface: each pricing method early bound, returning its status and writing Result.
#define QUANTREL_UNPAREN(...) __VA_ARGS__
class IQuantrel : public IDispatch {
 public:
#define QUANTREL_METHOD(name, params, args) \
  virtual HRESULT name(QUANTREL_UNPAREN params, double* Result) = 0;
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

 protected:
  ~IQuantrel() = default;
};

// Creates a Quantrel object through the class factory, as a client would. The caller owns one
// reference.
QUANTREL_API HRESULT CreateQuantrel(IQuantrel** object);

// Late-bound convenience: looks the method and the named arguments up by name, then invokes.
struct NamedArgument {
  std::string_view name;
  Variant value;
};
QUANTREL_API HRESULT InvokeByName(IDispatch& object, std::string_view method,
                                  std::span<const Variant> positional,
                                  std::span<const NamedArgument> named, double* result,
                                  ExcepInfo* excepInfo, uint32_t* argErr = nullptr);

// The calling thread's last error code: what the most recent model failure stored.
QUANTREL_API int32_t LastErrorCode() noexcept;

// --- Registration ---

// Where the registry stand-in keeps its entries: this file when set, else $QUANTREL_REGISTRY,
// else $XDG_CONFIG_HOME/quantrel/classes_root.reg (~/.config when unset).
QUANTREL_API void SetRegistryFile(const std::string& path);

// The type library as registration reads it.
struct TypeLibraryAttributes {
  Guid libraryId;
  uint16_t major, minor;
  uint32_t locale;
  Guid classId;  // the creatable class it describes
};

// Loads the type library from a file: the server module itself carries it. Fails with
// TYPE_E_CANTLOADLIBRARY for any other file.
QUANTREL_API HRESULT LoadTypeLibrary(const std::string& path, TypeLibraryAttributes* attributes);
// Looks a registered type library up by identifier and version, and loads it from the file its
// registration names. TYPE_E_LIBNOTREGISTERED when there is no such registration.
QUANTREL_API HRESULT LoadRegisteredTypeLibrary(const Guid& libraryId, uint16_t major,
                                               uint16_t minor, TypeLibraryAttributes* attributes);
// The full file name of the loaded server module, and the form written to the registry: paths
// with white space are written as a file URI with the blanks percent-encoded, so that a
// registered path never contains a blank.
QUANTREL_API std::string ModuleFileName();
QUANTREL_API std::string RegisteredModulePath(const std::string& fileName);
QUANTREL_API std::string PathFromRegisteredModulePath(const std::string& registered);

}  // namespace quantrel

// The server entry points, with C linkage.
extern "C" {
QUANTREL_API quantrel::HRESULT DllGetClassObject(const quantrel::Guid* classId,
                                                 const quantrel::Guid* iid, void** object);
QUANTREL_API quantrel::HRESULT DllCanUnloadNow(void);
QUANTREL_API quantrel::HRESULT DllRegisterServer(void);
QUANTREL_API quantrel::HRESULT DllUnregisterServer(void);
}
