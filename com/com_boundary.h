// The one place where failures inside a COM entry point become HRESULTs:
// the DLL's exports, the class objects and every interface operation of the
// classes run their bodies through ComBoundary, so no exception ever crosses
// into the caller's frames.
#pragma once

#include <windows.h>
#include <comdef.h>

#include <new>
#include <type_traits>

// Runs `body` (returning an HRESULT) and maps what it throws:
//   std::bad_alloc -> E_OUTOFMEMORY
//   _com_error     -> the HRESULT it carries (E_FAIL should it carry a
//                     success code: a failure must never read as success)
//   anything else  -> E_UNEXPECTED (a fault of ours, not a state the
//                     caller could have caused or can fix)
template <class Body>
HRESULT ComBoundary(Body&& body) noexcept {
  static_assert(std::is_same_v<std::invoke_result_t<Body&>, HRESULT>,
                "the body of an interface operation returns an HRESULT");
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const _com_error& error) {
    const HRESULT hr = error.Error();
    return FAILED(hr) ? hr : E_FAIL;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
