#include "cals/win_share_deny_write_files.h"

#include <share.h>
#include <stdio.h>

#include "cals/stdio_file.h"
#include "cals/win_utf16.h"

namespace cals {
namespace {

std::unique_ptr<OpenFile> OpenShared(const std::u16string& path, const wchar_t* mode) {
  if (!IsOpenablePath(path)) return nullptr;
  return AdoptStdioFile(_wfsopen(ToWide(path).c_str(), mode, _SH_DENYWR));
}

}  // namespace

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForRead(const std::u16string& path) {
  return OpenShared(path, L"rb");
}

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForUpdate(const std::u16string& path) {
  return OpenShared(path, L"r+b");
}

}  // namespace cals
