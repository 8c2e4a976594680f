// The run-time exports: class objects and the unload test.
#include <windows.h>
#include <objbase.h>

#include "com/com_module.h"
#include "com/com_boundary.h"
#include "module/proxy_stub.h"

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
  // The proxy/stub would write through a null out-pointer.
  if (out == nullptr) return E_POINTER;
  return ComBoundary([&] {
    // The proxy/stub's factory first, then the class table.
    if (ProxyStubGetClassObject(clsid, iid, out) == S_OK) return S_OK;
    return g_module.GetClassObject(clsid, iid, out);
  });
}

STDAPI DllCanUnloadNow() {
  return ComBoundary([] {
    if (ProxyStubCanUnloadNow() != S_OK) return S_FALSE;
    return g_module.GetLockCount() == 0 ? S_OK : S_FALSE;
  });
}
