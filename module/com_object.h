// Small equivalents of the COM support classes: the object root with its
// thread-model-dependent reference count, and the wrappers that give a class
// its IUnknown as a plain object (CComObject), as the inner object of an
// aggregate (CComAggObject / CComContainedObject), and as a cached class
// object (CComObjectCached, in class_factory.h).
//
// A class T used with these wrappers derives from CComObjectRootEx<Model>
// and from its interfaces, leaves the IUnknown methods to the wrapper, and
// provides:
//   HRESULT InternalQueryInterface(REFIID, void**)  (AddRefs what it hands out)
//   IUnknown* GetRawUnknown()                        (its first interface)
// and optionally FinalConstruct() / FinalRelease().
#pragma once

#include <windows.h>
#include <objbase.h>

#include <climits>
#include <new>

#include "module/com_module.h"

// Reference counting of apartment-threaded classes: plain arithmetic.
struct CComSingleThreadModel {
  static ULONG Increment(LONG* p) { return static_cast<ULONG>(++*p); }
  static ULONG Decrement(LONG* p) { return static_cast<ULONG>(--*p); }
};

// Reference counting of classes that any thread may call.
struct CComMultiThreadModel {
  static ULONG Increment(LONG* p) { return static_cast<ULONG>(InterlockedIncrement(p)); }
  static ULONG Decrement(LONG* p) { return static_cast<ULONG>(InterlockedDecrement(p)); }
};

template <class ThreadModel>
class CComObjectRootEx {
 public:
  using ThreadModelType = ThreadModel;

  CComObjectRootEx() = default;
  CComObjectRootEx(const CComObjectRootEx&) = delete;
  CComObjectRootEx& operator=(const CComObjectRootEx&) = delete;

  ULONG InternalAddRef() { return ThreadModel::Increment(&refCount_); }
  ULONG InternalRelease() { return ThreadModel::Decrement(&refCount_); }

  // Used by CComContainedObject: the object's IUnknown is the outer one.
  ULONG OuterAddRef() { return outerUnknown_->AddRef(); }
  ULONG OuterRelease() { return outerUnknown_->Release(); }
  HRESULT OuterQueryInterface(REFIID iid, void** out) {
    return outerUnknown_->QueryInterface(iid, out);
  }

  HRESULT FinalConstruct() { return S_OK; }
  void FinalRelease() {}

  // Held at 1 while FinalConstruct runs, so that an AddRef/Release pair
  // made by FinalConstruct cannot destroy the object.
  void InternalFinalConstructAddRef() { InternalAddRef(); }
  void InternalFinalConstructRelease() { InternalRelease(); }

  void SetOuterUnknown(IUnknown* outer) { outerUnknown_ = outer; }
  IUnknown* outerUnknown() const { return outerUnknown_; }
  LONG refCount() const { return refCount_; }

 protected:
  void MarkDestroyed() { refCount_ = -(LONG_MAX / 2); }

 private:
  LONG refCount_ = 0;
  IUnknown* outerUnknown_ = nullptr;  // set only for the inner part of an aggregate
};

// The controlling unknown of an object: the outer object's when aggregated,
// else the object's own first interface.
template <class T>
IUnknown* ControllingUnknown(T* object) {
  IUnknown* outer = object->outerUnknown();
  return outer != nullptr ? outer : object->GetRawUnknown();
}

// A plain (non-aggregated) instance. Holds one module lock from
// construction to the end of destruction.
template <class T>
class CComObject final : public T {
 public:
  explicit CComObject(void* /*unused*/ = nullptr) { g_module.Lock(); }

  ~CComObject() {
    this->MarkDestroyed();
    g_module.Unlock();
    this->FinalRelease();
  }

  STDMETHODIMP_(ULONG) AddRef() override { return this->InternalAddRef(); }

  STDMETHODIMP_(ULONG) Release() override {
    ULONG count = this->InternalRelease();
    if (count == 0) {
      // Keeps the module loaded until destruction has finished.
      g_module.Lock();
      delete this;
      g_module.Unlock();
    }
    return count;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return this->InternalQueryInterface(iid, out);
  }

  // New object with reference count 0, FinalConstruct done. The caller
  // takes the first reference (AddRef or QueryInterface).
  static HRESULT CreateInstance(CComObject<T>** result) {
    if (result == nullptr) return E_POINTER;
    *result = nullptr;
    auto* object = new (std::nothrow) CComObject<T>();
    if (object == nullptr) return E_OUTOFMEMORY;
    object->InternalFinalConstructAddRef();
    HRESULT hr = object->FinalConstruct();
    object->InternalFinalConstructRelease();
    if (FAILED(hr)) {
      delete object;
      return hr;
    }
    *result = object;
    return S_OK;
  }
};

// The inner part of an aggregate: every IUnknown call goes to the outer
// (controlling) object.
template <class T>
class CComContainedObject final : public T {
 public:
  explicit CComContainedObject(IUnknown* outer) { this->SetOuterUnknown(outer); }

  STDMETHODIMP_(ULONG) AddRef() override { return this->OuterAddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return this->OuterRelease(); }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return this->OuterQueryInterface(iid, out);
  }
  IUnknown* GetControllingUnknown() { return this->outerUnknown(); }
};

// An instance created inside an aggregate. Its own IUnknown is the
// non-delegating one that the outer object holds; the class's interfaces
// delegate to the outer object.
template <class T>
class CComAggObject final : public IUnknown,
                            public CComObjectRootEx<typename T::ThreadModelType> {
 public:
  explicit CComAggObject(void* outer) : contained_(static_cast<IUnknown*>(outer)) {
    g_module.Lock();
  }

  ~CComAggObject() {
    this->MarkDestroyed();
    g_module.Unlock();
    contained_.FinalRelease();
  }

  HRESULT FinalConstruct() {
    contained_.InternalFinalConstructAddRef();
    HRESULT hr = contained_.FinalConstruct();
    contained_.InternalFinalConstructRelease();
    return hr;
  }

  void FinalRelease() {}

  STDMETHODIMP_(ULONG) AddRef() override { return this->InternalAddRef(); }

  STDMETHODIMP_(ULONG) Release() override {
    ULONG count = this->InternalRelease();
    if (count == 0) {
      g_module.Lock();
      delete this;
      g_module.Unlock();
    }
    return count;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return contained_.InternalQueryInterface(iid, out);
  }

  T& contained() { return contained_; }

 private:
  CComContainedObject<T> contained_;
};

// Creates an object of wrapper type W (CComObject<T> or CComAggObject<T>)
// and asks it for `iid`; the object is destroyed when any step fails.
template <class W>
HRESULT CreateWrappedInstance(IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  W* object = new (std::nothrow) W(outer);
  if (object == nullptr) return E_OUTOFMEMORY;
  HRESULT hr = E_UNEXPECTED;
  try {
    object->InternalFinalConstructAddRef();
    hr = object->FinalConstruct();
    object->InternalFinalConstructRelease();
    if (SUCCEEDED(hr)) hr = object->QueryInterface(iid, out);
  } catch (...) {
    // Not handed out yet: nobody else can release it, and it holds a lock
    // on the module.
    delete object;
    throw;
  }
  if (FAILED(hr)) delete object;
  return hr;
}

// The create-instance operation of a class-table entry: a plain object
// without an outer unknown, an aggregated one with it.
template <class T>
HRESULT CreateClassInstance(IUnknown* outer, REFIID iid, void** out) {
  if (outer == nullptr) return CreateWrappedInstance<CComObject<T>>(nullptr, iid, out);
  return CreateWrappedInstance<CComAggObject<T>>(outer, iid, out);
}
