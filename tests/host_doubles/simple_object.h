// QueryInterface and reference counting for the doubles: SingleInterface
// answers IUnknown and one interface; SimpleObject adds a count that
// destroys the object, counts it among the live objects and logs
// "<name>.Destroy" when it ends.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <new>
#include <string>

#include "tests/host_doubles/doubles_state.h"

namespace host_doubles {

template <class Interface>
class SingleInterface : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, __uuidof(Interface))) return E_NOINTERFACE;
    *out = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }
};

template <class Interface>
class SimpleObject : public SingleInterface<Interface> {
 public:
  explicit SimpleObject(const wchar_t* name) : name_(name) { ObjectCreated(); }
  SimpleObject(const SimpleObject&) = delete;
  SimpleObject& operator=(const SimpleObject&) = delete;

  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    LONG count = InterlockedDecrement(&refs_);
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

 protected:
  virtual ~SimpleObject() {
    AppendLog(name_ + L".Destroy");
    ObjectDestroyed();
  }

 private:
  LONG refs_ = 0;
  std::wstring name_;
};

// Hands out a new object of type T as `iid`; the object goes again when
// it does not answer `iid`.
template <class T>
HRESULT CreateSimpleObject(REFIID iid, void** out) {
  T* object = new (std::nothrow) T();
  if (object == nullptr) return E_OUTOFMEMORY;
  object->AddRef();
  HRESULT hr = object->QueryInterface(iid, out);
  object->Release();
  return hr;
}

}  // namespace host_doubles
