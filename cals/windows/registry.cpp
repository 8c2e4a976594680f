#include "cals/windows/registry.h"

#include <string>

#include "cals/windows/registry_calls.h"

namespace {

// Reading a value twice (type and size, then data) can race with a
// writer; a value that changed its type in between is treated as
// unreadable.
bool IsDwordType(DWORD type) { return type == REG_DWORD || type == REG_DWORD_BIG_ENDIAN; }

DWORD SwapBytes(DWORD value) {
  return ((value & 0x000000FFu) << 24) | ((value & 0x0000FF00u) << 8) | ((value & 0x00FF0000u) >> 8) |
         ((value & 0xFF000000u) >> 24);
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
  return cals::ReadStringValue(cals::SystemRegistryCalls(), key_, valueName, text, lastResult_);
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
