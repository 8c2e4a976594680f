// Results the plug-in returns to the host, besides the standard ones
// (S_OK, E_POINTER, E_NOTIMPL, E_OUTOFMEMORY, E_FAIL from the Windows
// headers).
#pragma once

#include <windows.h>

// The file cannot be opened for reading.
inline constexpr HRESULT MIROTEX_E_CANNOT_OPEN = static_cast<HRESULT>(0x80040228L);
// The file is too short to hold a CALS header.
inline constexpr HRESULT MIROTEX_E_TOO_SHORT = static_cast<HRESULT>(0x80040229L);
// The preview declines a request it does not serve.
inline constexpr HRESULT MIROTEX_E_PREVIEW_DECLINED = static_cast<HRESULT>(0x8004022AL);
