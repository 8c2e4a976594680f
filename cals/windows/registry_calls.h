// The registry functions that reading a value of a kept key needs, behind
// an interface, so that tests can count them and see where a load goes.
#pragma once

#include <windows.h>

#include <string>

namespace cals {

class RegistryCalls {
 public:
  virtual ~RegistryCalls() = default;
  // As RegOpenKeyExW, RegQueryValueExW and RegCloseKey.
  virtual LONG OpenKey(HKEY parent, const wchar_t* subKey, REGSAM access, HKEY* key) = 0;
  virtual LONG QueryValue(HKEY key, const wchar_t* valueName, DWORD* type, BYTE* data, DWORD* size) = 0;
  virtual LONG CloseKey(HKEY key) = 0;
};

// The system's registry, for every thread of the process.
RegistryCalls& SystemRegistryCalls();

// A string value (REG_SZ, or REG_EXPAND_SZ expanded), terminated even when
// the stored value is not. A value that fits a small buffer takes one
// query; a longer one asks its size first. The status of the last registry
// call goes to `status`.
bool ReadStringValue(RegistryCalls& calls, HKEY key, const wchar_t* valueName, std::wstring& text, LONG& status);

// `text` with its environment variables expanded, as a REG_EXPAND_SZ value
// is read; false when the expansion fails.
bool ExpandEnvironment(const std::wstring& text, std::wstring& expanded);

}  // namespace cals
