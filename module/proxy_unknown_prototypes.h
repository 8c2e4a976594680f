/* Force-included into the generated proxy code, which is C: mingw's
   unknwn.h declares these three IUnknown proxy routines for C++ only,
   while rpcrt4 exports them for both. */
#pragma once

#include <objbase.h>

#ifndef __cplusplus
HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown* This, REFIID riid, void** ppvObject);
ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown* This);
ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown* This);
#endif
