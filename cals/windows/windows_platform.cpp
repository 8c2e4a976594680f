#include "cals/windows/windows_platform.h"

#include "cals/tag_config_store.h"
#include "cals/windows/kept_registry_key.h"
#include "cals/windows/registry_calls.h"
#include "cals/windows/settings_light.h"
#include "cals/windows/win_ansi_text_codec.h"
#include "cals/windows/win_private_profile_tag_config.h"
#include "cals/windows/win_registry_installation.h"
#include "cals/windows/win_share_deny_write_files.h"

namespace cals {
namespace {

// Every load asks the product key for "SharedLocation", since the host may
// move its installation while it runs; kept open, that is one query per
// load instead of an open, a query and a close.
KeptRegistryKey& ProductKey() {
  static KeptRegistryKey key(SystemRegistryCalls(), HKEY_LOCAL_MACHINE, kProductKey, KEY_READ);
  return key;
}

}  // namespace

const HeaderPlatform& WindowsHeaderPlatform() {
  // The first three keep no state between calls, and the installation's
  // only state is the kept key, so one set serves every opened file on
  // every thread. The store is the process's one memory of the tag
  // configuration, safe for every thread.
  static AnsiTextCodec codec;
  static ShareDenyWriteFileOpener files;
  static PrivateProfileTagConfig config;
  static RegistryInstallationLocator installation(&ProductKey());
  static TagConfigStore configStore;
  static const HeaderPlatform platform{&codec, &files, &config, &installation, &configStore};
  return platform;
}

void CloseKeptProductKey() { ProductKey().Close(); }

}  // namespace cals
