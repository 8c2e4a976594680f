// Results the plug-in returns to the host, besides the standard ones.
#pragma once

#include <windows.h>

inline constexpr HRESULT MIROTEX_E_CANNOT_OPEN = static_cast<HRESULT>(0x80040228L);
inline constexpr HRESULT MIROTEX_E_TOO_SHORT = static_cast<HRESULT>(0x80040229L);
inline constexpr HRESULT MIROTEX_E_PREVIEW_DECLINED = static_cast<HRESULT>(0x8004022AL);
