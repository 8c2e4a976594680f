// Finds the host's shared installation folder in the registry.
#pragma once

#include <string>

#include "cals/windows/kept_registry_key.h"
#include "cals/windows/registry.h"

inline constexpr wchar_t kProductKey[] = L"Software\\Korvane\\Applications\\Orbanix Enterprise";
inline constexpr wchar_t kSharedLocationValue[] = L"SharedLocation";

class SettingsLight {
 public:
  // Opens the product key itself on first need and closes it when it goes.
  SettingsLight() = default;
  // Asks the product key that the process keeps open instead (see
  // KeptRegistryKey); the folder is found the same way.
  explicit SettingsLight(cals::KeptRegistryKey* productKey) : productKey_(productKey) {}
  virtual ~SettingsLight() = default;

  // The folder, always ending in a backslash, or empty text when it cannot
  // be determined. A found folder is cached for this object's lifetime.
  std::wstring GetSharedFolder();

 private:
  bool QuerySharedLocation(std::wstring& folder);

  cals::KeptRegistryKey* productKey_ = nullptr;
  Registry machineKey_;
  std::wstring sharedFolder_;
};
