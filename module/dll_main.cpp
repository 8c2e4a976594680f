// The DLL entry point. The C runtime has constructed the static objects (the
// module object, the application object) before it calls in at process
// attach, and destroys them only after the call at process detach.
#include <windows.h>

#include "cals/windows/windows_platform.h"
#include "module/mirotex_app.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
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
      // Unloaded while the process goes on: the product key that loads kept
      // open goes with the DLL. At process exit the system closes it, and
      // the threads it has stopped may have held the key's lock.
      if (reserved == nullptr) cals::CloseKeptProductKey();
      return TRUE;
    default:
      return TRUE;
  }
}
