#include "com/class_factory.h"

#include <new>

#include "com/com_boundary.h"

HRESULT CComClassFactory::InternalQueryInterface(REFIID iid, void** out) noexcept {
  return QueryListedInterface<IClassFactory>(this, iid, out);
}

STDMETHODIMP CComClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  if (create_ == nullptr) return E_UNEXPECTED;
  return ComBoundary([&] { return create_(outer, iid, out); });
}

STDMETHODIMP CComClassFactory::LockServer(BOOL lock) noexcept {
  if (lock) {
    g_module.Lock();
  } else {
    g_module.Unlock();
  }
  return S_OK;
}

HRESULT CreateClassObject(CreateInstanceFn create, REFIID iid, void** out) noexcept {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  auto* factory = new (std::nothrow) CComObjectCached<CComClassFactory>();
  if (factory == nullptr) return E_OUTOFMEMORY;
  factory->SetCreator(create);
  const HRESULT hr = factory->QueryInterface(iid, out);
  if (FAILED(hr)) delete factory;
  return hr;
}
