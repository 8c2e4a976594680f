// The application object of the DLL: started when the DLL is loaded, after
// the static objects exist, and ended when it is unloaded, before they go.
#pragma once

#include <windows.h>

class CMirotexApp {
 public:
  CMirotexApp() = default;
  CMirotexApp(const CMirotexApp&) = delete;
  CMirotexApp& operator=(const CMirotexApp&) = delete;

  // The DLL's instance handle, given by the entry point before InitInstance.
  void SetInstance(HINSTANCE instance) { instance_ = instance; }
  HINSTANCE instance() const { return instance_; }

  // Readies the module: proxy/stub instance handle, class table, LIBID.
  // Non-zero for success.
  BOOL InitInstance() noexcept;
  // Releases the cached class objects and terminates the module. Returns
  // the exit code (0).
  int ExitInstance() noexcept;

 private:
  HINSTANCE instance_ = nullptr;
};

extern CMirotexApp theApp;
