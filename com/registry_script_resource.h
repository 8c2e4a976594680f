// Runs one of the DLL's registry scripts (resource type "REGISTRY") in
// register or unregister mode, with the module's path as %MODULE%.
#pragma once

#include <windows.h>

HRESULT UpdateRegistryFromResource(HINSTANCE instance, UINT resourceId, bool doRegister);
