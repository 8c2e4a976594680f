#include "cals/windows/windows_platform.h"

#include "cals/windows/win_ansi_text_codec.h"
#include "cals/windows/win_private_profile_tag_config.h"
#include "cals/windows/win_registry_installation.h"
#include "cals/windows/win_share_deny_write_files.h"

namespace cals {

const HeaderPlatform& WindowsHeaderPlatform() {
  // None of the four keeps state between calls, so one set serves every
  // opened file on every thread.
  static AnsiTextCodec codec;
  static ShareDenyWriteFileOpener files;
  static PrivateProfileTagConfig config;
  static RegistryInstallationLocator installation;
  static const HeaderPlatform platform{&codec, &files, &config, &installation};
  return platform;
}

}  // namespace cals
