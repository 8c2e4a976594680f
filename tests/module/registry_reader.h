// Reading registry keys back in tests: string values, key existence, and a
// dump of a whole subtree for before/after comparisons.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "com/unique_hkey.h"

namespace module_test {

inline bool KeyExists(HKEY root, const std::wstring& path) {
  UniqueHkey key;
  return RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// A REG_SZ value; nullopt when the key or value is missing or of another type.
inline std::optional<std::wstring> ReadString(HKEY root, const std::wstring& path, const wchar_t* name = nullptr) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) {
    return std::nullopt;
  }
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(size / sizeof(wchar_t));
  while (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

inline std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path) {
  std::vector<std::wstring> names;
  UniqueHkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

// Every key and string value below `path`, one line each, in enumeration
// order ("" when the key is missing).
inline std::wstring DumpTree(HKEY root, const std::wstring& path) {
  UniqueHkey key;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return L"";
  std::wstring out = path + L"\n";
  wchar_t name[16384];
  for (DWORD i = 0;; ++i) {
    DWORD length = 16384;
    DWORD type = 0;
    if (RegEnumValueW(key.get(), i, name, &length, nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS) break;
    const std::wstring valueName(name, length);
    out += path + L" [" + valueName + L"] = " +
           ReadString(root, path, valueName.empty() ? nullptr : valueName.c_str()).value_or(L"(not a string)") + L"\n";
  }
  for (const std::wstring& sub : SubkeyNames(root, path)) out += DumpTree(root, path + L"\\" + sub);
  return out;
}

inline std::wstring GuidText(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

}  // namespace module_test
