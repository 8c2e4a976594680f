// Finds the host's shared installation folder in the registry.
#pragma once

#include <string>

#include "cals/windows/registry.h"

inline constexpr wchar_t kProductKey[] = L"Software\\Korvane\\Applications\\Orbanix Enterprise";
inline constexpr wchar_t kSharedLocationValue[] = L"SharedLocation";

class SettingsLight {
 public:
  SettingsLight() = default;
  virtual ~SettingsLight() = default;

  // The folder, always ending in a backslash, or empty text when it cannot
  // be determined. A found folder is cached for this object's lifetime.
  std::wstring GetSharedFolder();

 private:
  Registry machineKey_;
  std::wstring sharedFolder_;
};
