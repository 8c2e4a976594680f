// Where the host is installed. On Windows each call asks a fresh
// SettingsLight, so every load reads the registry again.
#pragma once

#include <string>

namespace cals {

class InstallationLocator {
 public:
  virtual ~InstallationLocator() = default;
  // The shared installation folder, ending in a backslash, or empty text
  // when it cannot be determined.
  virtual std::u16string SharedFolder() = 0;
};

}  // namespace cals
