// The module: lock count, the one-entry class table with its lazily created class factory, the
// per-thread error information, and the class-object entry points.
#include <atomic>
#include <mutex>
#include <optional>

#include "server/ExoticOptionsImpl.h"

namespace quantrel {

namespace {
std::optional<ErrorInfo>& CurrentErrorInfo() {
  thread_local std::optional<ErrorInfo> info;
  return info;
}
}  // namespace

void SetErrorInfo(const ErrorInfo& info) {
  CurrentErrorInfo() = info;
}

HRESULT GetErrorInfo(ErrorInfo& info) {
  std::optional<ErrorInfo>& current = CurrentErrorInfo();
  if (!current) return S_FALSE;
  info = std::move(*current);
  current.reset();
  return S_OK;
}

namespace server {
void PublishErrorInfo(const MethodSpec& method, const char* description) {
  SetErrorInfo(
      {IID_IQuantrel, kProgId, description, kHelpFile, static_cast<uint32_t>(method.helpContext)});
}
}  // namespace server

int32_t LastErrorCode() noexcept {
  return server::LastErrorSlot();
}

namespace server {
namespace {

std::atomic<int32_t> g_lockCount{0};

class ClassFactory final : public IClassFactory {
 public:
  HRESULT QueryInterface(const Guid& iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  // The factory lives as long as the module, in the class table.
  uint32_t AddRef() override { return 2; }
  uint32_t Release() override { return 1; }

  HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* created = new (std::nothrow) TQuantrelImpl();
    if (!created) return E_OUTOFMEMORY;
    const HRESULT status = created->QueryInterface(iid, object);
    created->Release();  // the query's reference is the caller's
    return status;
  }

  HRESULT LockServer(bool lock) override {
    lock ? LockModule() : UnlockModule();
    return S_OK;
  }
};

// The class table: one creatable class, its factory made on first request.
struct ClassEntry {
  explicit ClassEntry(const Guid* id) : classId(id) {}
  const Guid* classId;
  std::mutex mutex;
  std::atomic<ClassFactory*> factory{nullptr};
  std::optional<ClassFactory> storage;
};

struct Module {
  ClassEntry classes[1] = {ClassEntry(&CLSID_Quantrel)};
  bool initialised = true;
};

Module& TheModule() {
  static Module module;
  return module;
}

}  // namespace

void LockModule() noexcept {
  ++g_lockCount;
}
void UnlockModule() noexcept {
  --g_lockCount;
}

}  // namespace server

HRESULT CreateQuantrel(IQuantrel** object) {
  if (!object) return E_POINTER;
  IClassFactory* factory = nullptr;
  HRESULT status =
      DllGetClassObject(&CLSID_Quantrel, &IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (status != S_OK) return status;
  status = factory->CreateInstance(nullptr, IID_IQuantrel, reinterpret_cast<void**>(object));
  factory->Release();
  return status;
}

}  // namespace quantrel

using namespace quantrel;

extern "C" HRESULT DllGetClassObject(const Guid* classId, const Guid* iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  server::Module& module = server::TheModule();
  if (!module.initialised || !classId || !iid) return E_INVALIDARG;
  for (server::ClassEntry& entry : module.classes) {
    if (*entry.classId != *classId) continue;
    server::ClassFactory* factory = entry.factory.load();
    if (!factory) {
      std::lock_guard<std::mutex> lock(entry.mutex);
      factory = entry.factory.load();  // another thread may have made it meanwhile
      if (!factory) {
        factory = &entry.storage.emplace();
        entry.factory.store(factory);
      }
    }
    return factory->QueryInterface(*iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT DllCanUnloadNow(void) {
  return server::g_lockCount.load() == 0 ? S_OK : S_FALSE;
}
