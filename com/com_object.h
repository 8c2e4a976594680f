// Small equivalents of the COM support classes: the object root with its
// thread-model-dependent reference count, and the wrappers that give a class
// its IUnknown as a plain object (CComObject), as the inner object of an
// aggregate (CComAggObject / CComContainedObject), and as a cached class
// object (CComObjectCached, in class_factory.h).
//
// A class T used with these wrappers derives from CComObjectRootEx<Model>
// and from its interfaces, leaves the IUnknown methods to the wrapper, and
// provides:
//   HRESULT InternalQueryInterface(REFIID, void**)  (AddRefs what it hands out;
//                                                    see QueryListedInterface)
//   IUnknown* GetRawUnknown()                        (its first interface)
// and optionally FinalConstruct() / FinalRelease().
#pragma once

#include <windows.h>
#include <objbase.h>

#include <climits>
#include <memory>
#include <new>

#include "com/com_module.h"

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

// An InternalQueryInterface from the list of a class's interfaces, its
// first interface first:
//   return QueryListedInterface<IFirst, ISecond>(this, iid, out);
// IID_IUnknown and each listed IID give that interface, AddRef'd; any other
// IID gives E_NOINTERFACE with the out-pointer null.
template <class... Interfaces, class T>
HRESULT QueryListedInterface(T* object, REFIID iid, void** out) noexcept {
  static_assert(sizeof...(Interfaces) > 0, "list the class's interfaces");
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  struct Entry {
    const IID& iid;
    IUnknown* pointer;
  };
  const Entry entries[] = {{__uuidof(Interfaces), static_cast<Interfaces*>(object)}...};
  IUnknown* answer = IsEqualIID(iid, IID_IUnknown) ? entries[0].pointer : nullptr;
  for (const Entry& entry : entries) {
    if (answer == nullptr && IsEqualIID(iid, entry.iid)) answer = entry.pointer;
  }
  if (answer == nullptr) return E_NOINTERFACE;
  answer->AddRef();
  *out = answer;
  return S_OK;
}

// The Release of an instance wrapper, which holds a module lock from
// construction to the end of destruction: the module is locked around the
// destruction too, so that it stays loaded until destruction has finished.
template <class W>
ULONG ReleaseInstance(W* object) {
  const ULONG count = object->InternalRelease();
  if (count == 0) {
    g_module.Lock();
    delete object;
    g_module.Unlock();
  }
  return count;
}

// A new object of wrapper type W (CComObject<T> or CComAggObject<T>) with
// reference count 0 and FinalConstruct done; destroyed again when
// FinalConstruct fails or throws, since nobody else could release it and it
// holds a lock on the module.
template <class W>
HRESULT NewConstructedObject(IUnknown* outer, std::unique_ptr<W>* result) {
  std::unique_ptr<W> object(new (std::nothrow) W(outer));
  if (object == nullptr) return E_OUTOFMEMORY;
  object->InternalFinalConstructAddRef();
  const HRESULT hr = object->FinalConstruct();
  object->InternalFinalConstructRelease();
  if (SUCCEEDED(hr)) *result = std::move(object);
  return hr;
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
  STDMETHODIMP_(ULONG) Release() override { return ReleaseInstance(this); }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return this->InternalQueryInterface(iid, out);
  }

  // New object with reference count 0, FinalConstruct done. The caller
  // takes the first reference (AddRef or QueryInterface).
  static HRESULT CreateInstance(CComObject<T>** result) {
    if (result == nullptr) return E_POINTER;
    std::unique_ptr<CComObject<T>> object;
    const HRESULT hr = NewConstructedObject(nullptr, &object);
    *result = object.release();
    return hr;
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
  STDMETHODIMP_(ULONG) Release() override { return ReleaseInstance(this); }
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
  std::unique_ptr<W> object;
  HRESULT hr = NewConstructedObject(outer, &object);
  if (SUCCEEDED(hr)) hr = object->QueryInterface(iid, out);
  if (SUCCEEDED(hr)) object.release();
  return hr;
}

// The create-instance operation of a class-table entry: a plain object
// without an outer unknown, an aggregated one with it.
template <class T>
HRESULT CreateClassInstance(IUnknown* outer, REFIID iid, void** out) {
  if (outer == nullptr) return CreateWrappedInstance<CComObject<T>>(nullptr, iid, out);
  return CreateWrappedInstance<CComAggObject<T>>(outer, iid, out);
}
