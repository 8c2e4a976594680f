// Where failures become HRESULTs at the module's own COM entry points (the
// DLL exports and the class objects): nothing thrown below may reach the
// caller's frames.
#pragma once

#include <windows.h>

#include <new>
#include <type_traits>

// Runs `body` (returning an HRESULT). std::bad_alloc gives E_OUTOFMEMORY;
// anything else thrown is a fault of ours and gives E_UNEXPECTED, never a
// success code.
template <class Body>
HRESULT EntryPointBoundary(Body&& body) noexcept {
  static_assert(std::is_same_v<std::invoke_result_t<Body&>, HRESULT>);
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}
