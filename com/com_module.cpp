#include "com/com_module.h"

CComModule g_module;

CComModule::CComModule() : sizeMarker_(sizeof(CComModule)) {
  InitializeCriticalSection(&createLock_);
}

CComModule::~CComModule() { Term(); }

LONG CComModule::Lock() { return InterlockedIncrement(&lockCount_); }

LONG CComModule::Unlock() { return InterlockedDecrement(&lockCount_); }

LONG CComModule::GetLockCount() const { return lockCount_; }

HRESULT CComModule::Init(ClassTableEntry* table, HINSTANCE instance, const GUID* libid) {
  table_ = table;
  instance_ = instance;
  libid_ = libid;
  return S_OK;
}

void CComModule::Term() {
  if (sizeMarker_ == 0) return;
  if (table_ != nullptr) {
    for (ClassTableEntry* entry = table_; entry->clsid != nullptr; ++entry) {
      if (entry->classObject != nullptr) {
        entry->classObject->Release();
        entry->classObject = nullptr;
      }
    }
  }
  DeleteCriticalSection(&createLock_);
  sizeMarker_ = 0;
}

HRESULT CComModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  // After termination the critical section is gone and the table's class
  // objects released: nothing more is handed out.
  if (table_ == nullptr || sizeMarker_ == 0) return CLASS_E_CLASSNOTAVAILABLE;
  for (ClassTableEntry* entry = table_; entry->clsid != nullptr; ++entry) {
    if (entry->getClassObject == nullptr || !IsEqualCLSID(*entry->clsid, clsid)) continue;
    HRESULT hr = S_OK;
    if (entry->classObject == nullptr) {
      EnterCriticalSection(&createLock_);
      if (entry->classObject == nullptr) {
        // Built aside and published whole (with a full barrier), since other
        // threads read the cached pointer without taking the lock.
        IUnknown* created = nullptr;
        hr = entry->getClassObject(entry->createInstance, IID_IUnknown, reinterpret_cast<void**>(&created));
        if (SUCCEEDED(hr) && created != nullptr) {
          InterlockedExchangePointer(reinterpret_cast<void* volatile*>(&entry->classObject), created);
        }
      }
      LeaveCriticalSection(&createLock_);
    }
    if (entry->classObject != nullptr) return entry->classObject->QueryInterface(iid, out);
    return hr;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CComModule::RegisterClasses() { return UpdateClassRegistries(TRUE); }

HRESULT CComModule::UnregisterClasses() { return UpdateClassRegistries(FALSE); }

HRESULT CComModule::UpdateClassRegistries(BOOL doRegister) {
  if (table_ == nullptr) return E_UNEXPECTED;
  // The classes declare no component categories, so the scripts are all
  // there is to write per class.
  for (ClassTableEntry* entry = table_; entry->clsid != nullptr; ++entry) {
    if (entry->updateRegistry == nullptr) continue;
    if (HRESULT hr = entry->updateRegistry(doRegister); FAILED(hr)) return hr;
  }
  return S_OK;
}
