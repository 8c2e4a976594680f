// The system's registry calls, each one counted: how tests and the bench
// see what a load asks of the registry. Counted atomically, as loads may
// run on several threads.
#pragma once

#include <windows.h>

#include <atomic>

#include "cals/windows/registry_calls.h"

namespace testing_support {

class CountingRegistryCalls final : public cals::RegistryCalls {
 public:
  LONG OpenKey(HKEY parent, const wchar_t* subKey, REGSAM access, HKEY* key) override {
    ++opens;
    return cals::SystemRegistryCalls().OpenKey(parent, subKey, access, key);
  }
  LONG QueryValue(HKEY key, const wchar_t* valueName, DWORD* type, BYTE* data, DWORD* size) override {
    ++queries;
    return cals::SystemRegistryCalls().QueryValue(key, valueName, type, data, size);
  }
  LONG CloseKey(HKEY key) override {
    ++closes;
    return cals::SystemRegistryCalls().CloseKey(key);
  }
  void Reset() { opens = queries = closes = 0; }

  std::atomic<int> opens = 0;
  std::atomic<int> queries = 0;
  std::atomic<int> closes = 0;
};

}  // namespace testing_support
