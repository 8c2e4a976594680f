#include "com/module_path.h"

HRESULT GetModulePath(HINSTANCE instance, std::wstring* path) {
  path->clear();
  wchar_t buffer[MAX_PATH];
  const DWORD length = GetModuleFileNameW(instance, buffer, MAX_PATH);
  if (length == 0) {
    const DWORD error = GetLastError();
    // A failure must not read as success should the last error be unset.
    return error != ERROR_SUCCESS ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
  path->assign(buffer, length);
  return S_OK;
}
