#include "cals/windows/registry.h"

#include <string>

namespace {

// Reading a value twice (size, then data) can race with a writer; a value
// that changed its type in between is treated as unreadable.
bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }
bool IsDwordType(DWORD type) { return type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN; }

DWORD SwapBytes(DWORD value) {
  return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8) |
         ((value & 0xFF000000u) >> 24);
}

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

}  // namespace

Registry::~Registry() { Close(); }

void Registry::Close() {
  if (key_ == nullptr) return;
  lastResult_ = RegCloseKey(key_);
  key_ = nullptr;
}

bool Registry::OpenKey(HKEY parent, const wchar_t* subKey, REGSAM access, bool create) {
  Close();
  HKEY opened = nullptr;
  if (create && subKey != nullptr && *subKey != L'\0') {
    lastResult_ = RegCreateKeyExW(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                  &opened, nullptr);
  } else {
    lastResult_ = RegOpenKeyExW(parent, subKey, 0, access, &opened);
  }
  if (lastResult_ != ERROR_SUCCESS) return false;
  key_ = opened;
  return true;
}

bool Registry::OpenSubKey(const wchar_t* subKey, REGSAM access, bool create) {
  Registry child;
  const bool opened = child.OpenKey(key_, subKey, access, create);
  lastResult_ = child.lastResult_;
  if (!opened) return false;  // the held key stays as it was
  Close();
  // The child's handle already has the requested access: take it over
  // instead of opening the same key a second time.
  key_ = child.key_;
  child.key_ = nullptr;
  lastResult_ = ERROR_SUCCESS;
  return true;
}

bool Registry::QueryString(const wchar_t* valueName, std::wstring& text) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  lastResult_ = RegQueryValueExW(key_, valueName, nullptr, &type, nullptr, &size);
  if (lastResult_ != ERROR_SUCCESS || !IsStringType(type)) return false;

  // One zero unit more than the data needs (the odd byte rounds up), so the
  // text is terminated even when the stored value is not.
  std::wstring buffer((size + 1) / 2 + 1, L'\0');
  DWORD readSize = size;
  DWORD readType = REG_NONE;
  lastResult_ = RegQueryValueExW(key_, valueName, nullptr, &readType,
                                 reinterpret_cast<BYTE*>(buffer.data()), &readSize);
  if (lastResult_ != ERROR_SUCCESS || readType != type) return false;
  buffer.resize(buffer.find(L'\0'));

  if (type == REG_EXPAND_SZ) return ExpandEnvironment(buffer, text);
  text = std::move(buffer);
  return true;
}

bool Registry::ReadDword(const wchar_t* valueName, DWORD& value) {
  DWORD type = REG_NONE;
  DWORD size = 0;
  lastResult_ = RegQueryValueExW(key_, valueName, nullptr, &type, nullptr, &size);
  if (lastResult_ != ERROR_SUCCESS || size != sizeof(DWORD) || !IsDwordType(type)) return false;

  DWORD data = 0;
  DWORD readType = REG_NONE;
  size = sizeof(data);
  lastResult_ = RegQueryValueExW(key_, valueName, nullptr, &readType, reinterpret_cast<BYTE*>(&data), &size);
  if (lastResult_ != ERROR_SUCCESS || size != sizeof(DWORD) || readType != type) return false;
  // The type says in which byte order the number is stored; hand it out as
  // the number it means.
  value = type == REG_DWORD_BIG_ENDIAN ? SwapBytes(data) : data;
  return true;
}
