#include "cals/windows/registry_calls.h"

#include <string>

namespace cals {
namespace {

class SystemCalls final : public RegistryCalls {
 public:
  LONG OpenKey(HKEY parent, const wchar_t* subKey, REGSAM access, HKEY* key) override {
    return RegOpenKeyExW(parent, subKey, 0, access, key);
  }
  LONG QueryValue(HKEY key, const wchar_t* valueName, DWORD* type, BYTE* data, DWORD* size) override {
    return RegQueryValueExW(key, valueName, nullptr, type, data, size);
  }
  LONG CloseKey(HKEY key) override { return RegCloseKey(key); }
};

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// The text up to its first zero, expanded when the type says so.
bool Finish(DWORD type, const wchar_t* data, std::wstring& text) {
  std::wstring stored(data);
  if (type == REG_EXPAND_SZ) return ExpandEnvironment(stored, text);
  text = std::move(stored);
  return true;
}

// The size first, then the data into a buffer of that size: for values
// that did not fit the first buffer. Reading a value twice can race with
// a writer; a value that changed its type in between is unreadable.
bool ReadSizedValue(RegistryCalls& calls, HKEY key, const wchar_t* valueName, std::wstring& text, LONG& status) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  status = calls.QueryValue(key, valueName, &type, nullptr, &size);
  if (status != ERROR_SUCCESS || !IsStringType(type)) return false;
  // One zero unit more than the data needs (the odd byte rounds up), so the
  // text is terminated even when the stored value is not.
  std::wstring buffer((size + 1) / 2 + 1, L'\0');
  DWORD readSize = size;
  DWORD readType = REG_NONE;
  status = calls.QueryValue(key, valueName, &readType, reinterpret_cast<BYTE*>(buffer.data()), &readSize);
  if (status != ERROR_SUCCESS || readType != type) return false;
  return Finish(type, buffer.c_str(), text);
}

}  // namespace

bool ExpandEnvironment(const std::wstring& text, std::wstring& expanded) {
  const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (needed == 0) return false;
  std::wstring buffer(needed, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
  // A variable that grew between the two calls would not fit.
  if (written == 0 || written > needed) return false;
  const auto end = buffer.find(L'\0');
  if (end != std::wstring::npos) buffer.resize(end);
  expanded = std::move(buffer);
  return true;
}

RegistryCalls& SystemRegistryCalls() {
  static SystemCalls calls;
  return calls;
}

bool ReadStringValue(RegistryCalls& calls, HKEY key, const wchar_t* valueName, std::wstring& text, LONG& status) {
  // Room for a long folder path; zeroed, with one zero unit past what the
  // registry may fill (and the odd byte), so the text is terminated even
  // when the stored value is not.
  constexpr DWORD kCapacity = 1024;
  wchar_t buffer[kCapacity / sizeof(wchar_t) + 1] = {};
  DWORD type = REG_NONE;
  DWORD size = kCapacity;
  status = calls.QueryValue(key, valueName, &type, reinterpret_cast<BYTE*>(buffer), &size);
  if (status == ERROR_MORE_DATA) return ReadSizedValue(calls, key, valueName, text, status);
  if (status != ERROR_SUCCESS || !IsStringType(type)) return false;
  return Finish(type, buffer, text);
}

}  // namespace cals
