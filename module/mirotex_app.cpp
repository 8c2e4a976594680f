#include "module/mirotex_app.h"

#include "mirotex_h.h"
#include "module/class_table.h"
#include "com/com_module.h"
#include "module/proxy_stub.h"

CMirotexApp theApp;

BOOL CMirotexApp::InitInstance() noexcept {
  SetProxyStubInstance(instance_);
  return SUCCEEDED(g_module.Init(g_classTable, instance_, &LIBID_MIROTEXLib));
}

int CMirotexApp::ExitInstance() noexcept {
  g_module.Term();
  return 0;
}
