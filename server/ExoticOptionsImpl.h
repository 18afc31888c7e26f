// TQuantrelImpl, the portable Quantrel object: its early-bound methods forward to the method
// wrappers (server/MethodWrappers.h); late-bound calls go through the catalogue.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "quantrel/automation.h"
#include "quantrel/bindings.h"
#include "quantrel/catalogue.h"
#include "quantrel/errors.h"
#include "server/MethodWrappers.h"

namespace quantrel::server {

class TQuantrelImpl final : public IQuantrel, public ISupportErrorInfo {
 public:
  TQuantrelImpl();
  TQuantrelImpl(const TQuantrelImpl&) = delete;
  TQuantrelImpl& operator=(const TQuantrelImpl&) = delete;

  HRESULT QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override;
  uint32_t Release() override;

  HRESULT GetIDsOfNames(std::span<const std::string_view> names, int32_t* ids) override;
  HRESULT Invoke(int32_t dispId, const DispParams& params, Variant* result, ExcepInfo* excepInfo,
                 uint32_t* argErr) override;

  HRESULT InterfaceSupportsErrorInfo(const Guid& iid) override;

#define QUANTREL_METHOD(name, params, args) \
  HRESULT name(QUANTREL_UNPAREN params, double* Result) override;
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

 private:
  ~TQuantrelImpl();
  std::atomic<uint32_t> references_{1};
};

// The late-bound call behind every IDispatch of the server.
HRESULT InvokeMethod(int32_t dispId, const DispParams& params, Variant* result,
                     ExcepInfo* excepInfo, uint32_t* argErr);
HRESULT IdsOfNames(std::span<const std::string_view> names, int32_t* ids);
// Looks up and invokes by name through the given lookup and invoke (the InvokeByName core).
HRESULT InvokeNamed(
    const std::function<HRESULT(std::span<const std::string_view>, int32_t*)>& lookup,
    const std::function<HRESULT(int32_t, const DispParams&, Variant*, ExcepInfo*, uint32_t*)>&
        invoke,
    std::string_view method, std::span<const Variant> positional,
    std::span<const NamedArgument> named, double* result, ExcepInfo* excepInfo, uint32_t* argErr);

// Module lock count: live objects plus server locks.
void LockModule() noexcept;
void UnlockModule() noexcept;

}  // namespace quantrel::server
