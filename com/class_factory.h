// The class object of a class-table entry: a CComClassFactory that creates
// instances through the entry's creator, held in a CComObjectCached whose
// reference count decides whether it keeps the module loaded.
#pragma once

#include <windows.h>
#include <objbase.h>

#include "com/com_module.h"
#include "com/com_object.h"

class CComClassFactory : public CComObjectRootEx<CComMultiThreadModel>, public IClassFactory {
 public:
  void SetCreator(CreateInstanceFn create) { create_ = create; }

  HRESULT InternalQueryInterface(REFIID iid, void** out) noexcept;
  IUnknown* GetRawUnknown() { return static_cast<IClassFactory*>(this); }

  // Aggregation only when the outer object asks for IID_IUnknown, as COM
  // requires of an inner object.
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) noexcept override;
  STDMETHODIMP LockServer(BOOL lock) noexcept override;

 private:
  CreateInstanceFn create_ = nullptr;
};

// A class object cached in the class table. The table's own reference
// (count 1) does not lock the module; every further reference does: the
// AddRef that raises the count to 2 locks it, the Release that lowers it to
// 1 unlocks it, and the Release to 0 destroys the object.
template <class T>
class CComObjectCached final : public T {
 public:
  CComObjectCached() = default;
  ~CComObjectCached() {
    this->MarkDestroyed();
    this->FinalRelease();
  }

  STDMETHODIMP_(ULONG) AddRef() noexcept override {
    const ULONG count = this->InternalAddRef();
    if (count == 2) g_module.Lock();
    return count;
  }

  STDMETHODIMP_(ULONG) Release() noexcept override {
    const ULONG count = this->InternalRelease();
    if (count == 0) {
      delete this;
    } else if (count == 1) {
      g_module.Unlock();
    }
    return count;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) noexcept override {
    return this->InternalQueryInterface(iid, out);
  }
};

// The get-class-object operation of every class-table entry: a new cached
// class factory for `create`, asked for `iid`.
HRESULT CreateClassObject(CreateInstanceFn create, REFIID iid, void** out) noexcept;
