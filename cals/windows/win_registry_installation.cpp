#include "cals/windows/win_registry_installation.h"

#include "cals/windows/settings_light.h"
#include "cals/win_utf16.h"

namespace cals {

std::u16string RegistryInstallationLocator::SharedFolder() {
  SettingsLight settings(productKey_);
  return ToUtf16(settings.GetSharedFolder());
}

}  // namespace cals
