// Registration of the doubles under HKEY_CLASSES_ROOT\CLSID.
#pragma once

#include <windows.h>

namespace host_doubles {

HRESULT RegisterClasses(HMODULE module, DWORD classMask);
HRESULT UnregisterClasses(DWORD classMask);

}  // namespace host_doubles
