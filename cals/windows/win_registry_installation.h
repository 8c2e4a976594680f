// The shared installation folder as the host's installer recorded it.
#pragma once

#include "cals/installation.h"

namespace cals {

class RegistryInstallationLocator final : public InstallationLocator {
 public:
  // Asks a new SettingsLight every time: nothing is remembered between
  // loads, so a changed installation is seen by the next file opened.
  std::u16string SharedFolder() override;
};

}  // namespace cals
