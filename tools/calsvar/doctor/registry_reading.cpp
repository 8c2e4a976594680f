#include "tools/calsvar/doctor/registry_reading.h"

#include <objbase.h>

#include "cals/windows/registry_calls.h"
#include "com/unique_hkey.h"

namespace calsvar {
namespace {

REGSAM ViewFlag(RegistryView view) { return view == RegistryView::k64Bit ? KEY_WOW64_64KEY : KEY_WOW64_32KEY; }

UniqueHkey OpenKey(HKEY root, const std::wstring& path, RegistryView view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | ViewFlag(view), &key) != ERROR_SUCCESS) return UniqueHkey();
  return UniqueHkey(key);
}

}  // namespace

bool KeyExists(HKEY root, const std::wstring& path, RegistryView view) {
  return static_cast<bool>(OpenKey(root, path, view));
}

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const std::wstring& path, const wchar_t* name,
                                               RegistryView view) {
  const UniqueHkey key = OpenKey(root, path, view);
  if (!key) return std::nullopt;
  RegistryValue value;
  DWORD bytes = 0;
  if (RegQueryValueExW(key.get(), name, nullptr, &value.type, nullptr, &bytes) != ERROR_SUCCESS) return std::nullopt;
  if (value.type != REG_SZ && value.type != REG_EXPAND_SZ) return value;
  // Room for a terminator that the stored value may lack.
  std::wstring text(bytes / sizeof(wchar_t) + 2, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  text.resize(wcsnlen(text.c_str(), text.size()));
  value.text = std::move(text);
  return value;
}

std::optional<std::wstring> ReadRegistryText(HKEY root, const std::wstring& path, const wchar_t* name,
                                             RegistryView view) {
  const UniqueHkey key = OpenKey(root, path, view);
  if (!key) return std::nullopt;
  std::wstring text;
  LONG status = ERROR_SUCCESS;
  if (!cals::ReadStringValue(cals::SystemRegistryCalls(), key.get(), name, text, status)) return std::nullopt;
  return text;
}

std::vector<std::wstring> SubkeyNames(HKEY root, const std::wstring& path, RegistryView view) {
  std::vector<std::wstring> names;
  const UniqueHkey key = OpenKey(root, path, view);
  if (!key) return names;
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

std::wstring ExpandEnvironment(const std::wstring& text) {
  std::wstring expanded;
  return cals::ExpandEnvironment(text, expanded) ? expanded : text;
}

std::string RegistryTypeName(DWORD type) {
  switch (type) {
    case REG_SZ:
      return "REG_SZ";
    case REG_EXPAND_SZ:
      return "REG_EXPAND_SZ";
    case REG_MULTI_SZ:
      return "REG_MULTI_SZ";
    case REG_DWORD:
      return "REG_DWORD";
    case REG_QWORD:
      return "REG_QWORD";
    case REG_BINARY:
      return "REG_BINARY";
    case REG_NONE:
      return "REG_NONE";
    default:
      return "registry type " + std::to_string(type);
  }
}

}  // namespace calsvar
