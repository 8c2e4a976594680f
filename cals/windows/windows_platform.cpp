#include "cals/windows/windows_platform.h"

#include "cals/tag_config_store.h"
#include "cals/windows/win_ansi_text_codec.h"
#include "cals/windows/win_private_profile_tag_config.h"
#include "cals/windows/win_registry_installation.h"
#include "cals/windows/win_share_deny_write_files.h"

namespace cals {

const HeaderPlatform& WindowsHeaderPlatform() {
  // None of the first four keeps state between calls, so one set serves
  // every opened file on every thread. The store is the process's one
  // memory of the tag configuration, safe for every thread.
  static AnsiTextCodec codec;
  static ShareDenyWriteFileOpener files;
  static PrivateProfileTagConfig config;
  static RegistryInstallationLocator installation;
  static TagConfigStore configStore;
  static const HeaderPlatform platform{&codec, &files, &config, &installation, &configStore};
  return platform;
}

}  // namespace cals
