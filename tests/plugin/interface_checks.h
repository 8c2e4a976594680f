// The identity rules of COM, checked on one object through QueryInterface.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <unknwn.h>

#include <cstdint>
#include <initializer_list>

#include "com/com_ptr.h"

namespace interface_checks {

// `unknown` (the object's IUnknown) answers `first` with that very pointer,
// answers each of `others` with an interface that leads back to it, and
// refuses each of `refused` with E_NOINTERFACE and a null result. Call it
// inside ASSERT_NO_FATAL_FAILURE.
inline void ExpectInterfaces(IUnknown* unknown, REFIID first, std::initializer_list<const IID*> others,
                             std::initializer_list<const IID*> refused) {
  ComPtr<IUnknown> own;
  ASSERT_EQ(S_OK, unknown->QueryInterface(first, own.put_void()));
  EXPECT_EQ(unknown, own.get()) << "IUnknown is the first interface";

  for (const IID* iid : others) {
    ComPtr<IUnknown> face;
    ASSERT_EQ(S_OK, unknown->QueryInterface(*iid, face.put_void()));
    ComPtr<IUnknown> back;
    ASSERT_EQ(S_OK, face->QueryInterface(IID_IUnknown, back.put_void()));
    EXPECT_EQ(unknown, back.get());
  }

  for (const IID* iid : refused) {
    void* out = reinterpret_cast<void*>(static_cast<std::uintptr_t>(0xDEADBEEFDEADBEEFull));
    EXPECT_EQ(E_NOINTERFACE, unknown->QueryInterface(*iid, &out));
    EXPECT_EQ(nullptr, out);
  }
}

}  // namespace interface_checks
