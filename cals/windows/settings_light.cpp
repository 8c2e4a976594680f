#include "cals/windows/settings_light.h"

bool SettingsLight::QuerySharedLocation(std::wstring& folder) {
  if (productKey_ != nullptr) return productKey_->QueryString(kSharedLocationValue, folder);
  if (machineKey_.key() == nullptr && !machineKey_.OpenKey(HKEY_LOCAL_MACHINE, kProductKey, KEY_READ, false)) {
    return false;
  }
  return machineKey_.QueryString(kSharedLocationValue, folder);
}

std::wstring SettingsLight::GetSharedFolder() {
  if (!sharedFolder_.empty()) return sharedFolder_;
  std::wstring folder;
  if (!QuerySharedLocation(folder) || folder.empty()) return {};
  if (folder.back() != L'\\') folder.push_back(L'\\');
  sharedFolder_ = std::move(folder);
  return sharedFolder_;
}
