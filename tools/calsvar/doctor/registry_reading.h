// Registry reads of calsvar doctor, in a chosen view: a 64-bit host sees
// the 64-bit view only, so a key that exists just in the 32-bit view (under
// WOW6432Node) is a fault to name, not a registration.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace calsvar {

enum class RegistryView { k64Bit, k32Bit };

struct RegistryValue {
  DWORD type = REG_NONE;
  std::wstring text;  // REG_SZ and REG_EXPAND_SZ: as stored, not expanded
};

bool KeyExists(HKEY root, const std::wstring& path, RegistryView view);

// The value (an empty name: the key's default value); empty when the key
// or the value is missing.
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path, const wchar_t* name,
                                               RegistryView view);

// A REG_SZ value, or a REG_EXPAND_SZ one expanded, as COM reads the paths
// of in-process servers; empty for a missing value or another type.
std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& path, const wchar_t* name,
                                             RegistryView view = RegistryView::k64Bit);

// The names of the key's subkeys.
std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path, RegistryView view);

// "{E59C7BCF-...}": a GUID as registry keys name it.
std::wstring GuidText(const GUID& guid);

// Environment variables expanded; the text as it is when that fails.
std::wstring ExpandEnvironment(const std::wstring& text);

// "REG_SZ", "REG_DWORD", ...
std::string RegistryTypeName(DWORD type);

}  // namespace calsvar
