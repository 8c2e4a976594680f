// The DLL entry point. The C runtime has constructed the static objects (the
// module object, the application object) before it calls in at process
// attach, and destroys them only after the call at process detach.
#include <windows.h>

#include "module/mirotex_app.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      theApp.SetInstance(instance);
      if (!theApp.InitInstance()) {
        theApp.ExitInstance();
        return FALSE;
      }
      return TRUE;
    case DLL_PROCESS_DETACH:
      // Class objects or instances that a client still holds now are not
      // reclaimed; the ones only the class table holds are released.
      theApp.ExitInstance();
      return TRUE;
    default:
      return TRUE;
  }
}
