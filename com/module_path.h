// The full path of this DLL, as registration records it.
#pragma once

#include <windows.h>

#include <string>

// GetModuleFileNameW with a buffer of MAX_PATH (260) characters. A path that
// fills the buffer is cut short, so it is refused with
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER) (0x8007007A) rather than
// recorded wrong; no path at all gives the platform's last error.
HRESULT GetModulePath(HINSTANCE instance, std::wstring* path);
