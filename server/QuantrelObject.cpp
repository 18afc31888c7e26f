// The portable Quantrel object: reference counting, the interface query, the error-info query and
// the early-bound methods, which forward to the method wrappers.
#include "server/ExoticOptionsImpl.h"

namespace quantrel::server {

TQuantrelImpl::TQuantrelImpl() {
  LockModule();
}
TQuantrelImpl::~TQuantrelImpl() {
  UnlockModule();
}

HRESULT TQuantrelImpl::QueryInterface(const Guid& iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IQuantrel) {
    *object = static_cast<IQuantrel*>(this);
  } else if (iid == IID_ISupportErrorInfo) {
    *object = static_cast<ISupportErrorInfo*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

uint32_t TQuantrelImpl::AddRef() {
  return ++references_;
}

uint32_t TQuantrelImpl::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT TQuantrelImpl::InterfaceSupportsErrorInfo(const Guid& iid) {
  return iid == IID_IQuantrel ? S_OK : S_FALSE;
}

#define QUANTREL_METHOD(name, params, args)                              \
  HRESULT TQuantrelImpl::name(QUANTREL_UNPAREN params, double* Result) { \
    return Call##name(QUANTREL_UNPAREN args, Result);                    \
  }
#include "quantrel/methods.inc"
#undef QUANTREL_METHOD

}  // namespace quantrel::server
