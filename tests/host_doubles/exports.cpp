// The DLL's exports: the COM server entry points and the control functions
// that tests call (see host_doubles.h).
#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <string>

#include "tests/host_doubles/class_table.h"
#include "tests/host_doubles/doubles_state.h"
#include "tests/host_doubles/host_doubles.h"
#include "tests/host_doubles/preview_doubles.h"
#include "tests/host_doubles/registration.h"

namespace {
HMODULE g_module = nullptr;
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return host_doubles::GetClassObject(clsid, iid, out);
}

HRESULT WINAPI DllCanUnloadNow() {
  return host_doubles::OutstandingReferences() == 0 ? S_OK : S_FALSE;
}

HRESULT WINAPI DllRegisterServer() { return host_doubles::RegisterClasses(g_module, kHostDoublesAll); }
HRESULT WINAPI DllUnregisterServer() { return host_doubles::UnregisterClasses(kHostDoublesAll); }

HRESULT WINAPI HostDoubles_Register(DWORD classMask) {
  return host_doubles::RegisterClasses(g_module, classMask);
}

HRESULT WINAPI HostDoubles_Unregister(DWORD classMask) {
  return host_doubles::UnregisterClasses(classMask);
}

void WINAPI HostDoubles_Reset() {
  host_doubles::ResetState();
  host_doubles::ForgetInnerPreviews();
}

void WINAPI HostDoubles_SetResult(DWORD operation, HRESULT result) {
  host_doubles::SetResult(operation, result);
}

void WINAPI HostDoubles_SetDialogResult(LONG result) { host_doubles::SetDialogResult(result); }

void WINAPI HostDoubles_SetShowTipCallback(host_doubles::ShowTipCallback callback, void* context) {
  host_doubles::SetShowTipCallback(callback, context);
}

void WINAPI HostDoubles_SetPreviewCallback(host_doubles::ShowTipCallback callback, void* context) {
  host_doubles::SetPreviewCallback(callback, context);
}

void WINAPI HostDoubles_SetTipText(const wchar_t* text) { host_doubles::SetTipText(text); }

DWORD WINAPI HostDoubles_ReadCallLog(wchar_t* buffer, DWORD capacity) {
  std::wstring log = host_doubles::ReadLog();
  if (buffer != nullptr && capacity > 0) {
    size_t copied = std::min<size_t>(log.size(), capacity - 1);
    std::copy_n(log.data(), copied, buffer);
    buffer[copied] = L'\0';
  }
  return static_cast<DWORD>(log.size());
}

LONG WINAPI HostDoubles_LiveObjects() { return host_doubles::LiveObjects(); }

BOOL WINAPI HostDoubles_GetInnerPreviewRefCount(DWORD index, LONG* count) {
  if (count == nullptr) return FALSE;
  return host_doubles::InnerPreviewRefCount(index, *count) ? TRUE : FALSE;
}

HRESULT WINAPI HostDoubles_CreatePreviewProvider(IOrvPreviewProvider** provider) {
  return host_doubles::CreatePreviewProvider(provider);
}

}  // extern "C"
