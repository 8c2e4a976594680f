/* The merged proxy/stub's entry points. C, like the generated proxy code:
   the RPC proxy header is written for C. */
#include "module/proxy_stub.h"

#include <rpcproxy.h>

#include "mirotex_h.h"

/* Defined by the generated dlldata: the proxy file list and the factory. */
extern const ProxyFileInfo* aProxyFileList[];
extern CStdPSFactoryBuffer gPFactory;

static HINSTANCE proxyStubInstance = NULL;

/* The proxy/stub CLSID is the IID of the first interface of the list. */
static const CLSID* ProxyStubClsid(void) { return &IID_ICalsPreview; }

void SetProxyStubInstance(HINSTANCE instance) { proxyStubInstance = instance; }

HRESULT ProxyStubGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return NdrDllGetClassObject(clsid, iid, out, aProxyFileList, ProxyStubClsid(), &gPFactory);
}

HRESULT ProxyStubCanUnloadNow(void) { return NdrDllCanUnloadNow(&gPFactory); }

HRESULT ProxyStubRegister(void) {
  return NdrDllRegisterProxy(proxyStubInstance, aProxyFileList, ProxyStubClsid());
}

HRESULT ProxyStubUnregister(void) {
  return NdrDllUnregisterProxy(proxyStubInstance, aProxyFileList, ProxyStubClsid());
}
