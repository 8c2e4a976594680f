#include "cals/windows/settings_light.h"

std::wstring SettingsLight::GetSharedFolder() {
  if (!sharedFolder_.empty()) return sharedFolder_;
  if (machineKey_.key() == nullptr && !machineKey_.OpenKey(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ, false)) {
    return {};
  }
  std::wstring folder;
  if (!machineKey_.QueryString(kSharedLocationValue, folder) || folder.empty()) return {};
  if (folder.back() != L'\\') folder.push_back(L'\\');
  sharedFolder_ = std::move(folder);
  return sharedFolder_;
}
