// The built mirotex.dll (or a copy of it) loaded into the test process, with
// its four exports.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>

#include "tests/support/win/test_environment.h"

namespace module_test {

// Where the build put the DLL, as a Windows path.
inline std::wstring BuiltDllPath() { return testing_support::ToWindowsPath(MIROTEX_DLL_PATH); }

class LoadedModule {
 public:
  using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  using NoArgumentFn = HRESULT(STDAPICALLTYPE*)();

  explicit LoadedModule(const std::wstring& path = BuiltDllPath()) : module_(LoadLibraryW(path.c_str())) {
    if (module_ == nullptr) return;
    getClassObject_ = Export<GetClassObjectFn>("DllGetClassObject");
    canUnloadNow_ = Export<NoArgumentFn>("DllCanUnloadNow");
    register_ = Export<NoArgumentFn>("DllRegisterServer");
    unregister_ = Export<NoArgumentFn>("DllUnregisterServer");
  }
  ~LoadedModule() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LoadedModule(const LoadedModule&) = delete;
  LoadedModule& operator=(const LoadedModule&) = delete;

  bool loaded() const {
    return module_ != nullptr && getClassObject_ != nullptr && canUnloadNow_ != nullptr && register_ != nullptr &&
           unregister_ != nullptr;
  }
  HMODULE handle() const { return module_; }
  std::wstring path() const {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(module_, buffer, MAX_PATH * 4);
    return std::wstring(buffer, length);
  }

  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out) const { return getClassObject_(clsid, iid, out); }
  HRESULT CanUnloadNow() const { return canUnloadNow_(); }
  HRESULT Register() const { return register_(); }
  HRESULT Unregister() const { return unregister_(); }

 private:
  template <class Fn>
  Fn Export(const char* name) const {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HMODULE module_;
  GetClassObjectFn getClassObject_ = nullptr;
  NoArgumentFn canUnloadNow_ = nullptr;
  NoArgumentFn register_ = nullptr;
  NoArgumentFn unregister_ = nullptr;
};

// A value that no call leaves behind by chance: out-pointers are set to it
// first to see what the call wrote.
inline void* Poison() { return reinterpret_cast<void*>(static_cast<UINT_PTR>(0xDEADBEEF)); }

}  // namespace module_test
