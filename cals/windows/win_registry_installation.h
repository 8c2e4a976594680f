// The shared installation folder as the host's installer recorded it.
#pragma once

#include "cals/installation.h"
#include "cals/windows/kept_registry_key.h"

namespace cals {

class RegistryInstallationLocator final : public InstallationLocator {
 public:
  // `productKey`: the product key kept open for the process, or null to
  // open it at every call.
  explicit RegistryInstallationLocator(KeptRegistryKey* productKey = nullptr) : productKey_(productKey) {}

  // Asks a new SettingsLight every time: nothing is remembered between
  // loads, so a changed installation is seen by the next file opened.
  std::u16string SharedFolder() override;

 private:
  KeptRegistryKey* productKey_;
};

}  // namespace cals
