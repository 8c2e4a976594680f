// Registration of the module's type library (resource "TYPELIB" 1 of the
// DLL, or a .tlb file beside it when the DLL holds none).
#pragma once

#include <windows.h>

HRESULT RegisterModuleTypeLibrary(HINSTANCE instance);
HRESULT UnregisterModuleTypeLibrary(HINSTANCE instance);
