// The self-registration exports: proxy/stub, the classes' registry scripts
// in class-table order, then the type library. The first failure ends the
// operation; steps already done stay done.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "com/com_module.h"
#include "com/com_boundary.h"
#include "com/module_path.h"
#include "module/proxy_stub.h"
#include "com/type_library_registration.h"

STDAPI DllRegisterServer() {
  return ComBoundary([] {
    // The scripts and the type library need the module's path whole; the
    // proxy/stub registration would record it cut short. Refuse before
    // anything is written.
    std::wstring path;
    if (HRESULT hr = GetModulePath(g_module.instance(), &path); FAILED(hr)) return hr;
    if (HRESULT hr = ProxyStubRegister(); FAILED(hr)) return hr;
    if (HRESULT hr = g_module.RegisterClasses(); FAILED(hr)) return hr;
    return RegisterModuleTypeLibrary(g_module.instance());
  });
}

STDAPI DllUnregisterServer() {
  return ComBoundary([] {
    // Its result does not count: the classes are unregistered regardless.
    ProxyStubUnregister();
    if (HRESULT hr = g_module.UnregisterClasses(); FAILED(hr)) return hr;
    return UnregisterModuleTypeLibrary(g_module.instance());
  });
}
