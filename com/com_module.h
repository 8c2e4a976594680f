// The module object: lock count, class table, type-library identifier and
// the critical section that serialises first creation of class objects.
#pragma once

#include <windows.h>
#include <objbase.h>

// Creates an instance: plain when `outer` is null, aggregated otherwise.
using CreateInstanceFn = HRESULT (*)(IUnknown* outer, REFIID iid, void** out);
// Creates the class object of an entry, handing it the entry's creator.
using GetClassObjectFn = HRESULT (*)(CreateInstanceFn create, REFIID iid, void** out);
// Runs the class's registry script in register (TRUE) or unregister mode.
using UpdateRegistryFn = HRESULT (*)(BOOL doRegister);
// Component categories of the class; the classes here declare none.
using CategoryMapFn = const void* (*)();

struct ClassTableEntry {
  const CLSID* clsid;  // null ends the table
  UpdateRegistryFn updateRegistry;
  GetClassObjectFn getClassObject;
  CreateInstanceFn createInstance;
  IUnknown* classObject;  // cached; null until first requested
  CategoryMapFn categoryMap;
};

class CComModule {
 public:
  CComModule();
  ~CComModule();
  CComModule(const CComModule&) = delete;
  CComModule& operator=(const CComModule&) = delete;

  // Each returns the new count.
  LONG Lock();
  LONG Unlock();
  LONG GetLockCount() const;

  HRESULT Init(ClassTableEntry* table, HINSTANCE instance, const GUID* libid);
  // Releases the cached class objects; a second call does nothing.
  void Term();

  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

  // Every class of the table, in order (registry scripts); the type library
  // is registered by the caller.
  HRESULT RegisterClasses();
  HRESULT UnregisterClasses();

  HINSTANCE instance() const { return instance_; }
  const GUID* libid() const { return libid_; }
  ClassTableEntry* classTable() const { return table_; }
  bool initialised() const { return sizeMarker_ != 0; }

 private:
  // Runs each entry's registry script in table order; the first failure ends it.
  HRESULT UpdateClassRegistries(BOOL doRegister);

  UINT sizeMarker_;
  volatile LONG lockCount_ = 0;
  const GUID* libid_ = nullptr;
  ClassTableEntry* table_ = nullptr;
  HINSTANCE instance_ = nullptr;
  CRITICAL_SECTION createLock_;
};

// The one module object of this DLL.
extern CComModule g_module;
