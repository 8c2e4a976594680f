#include "cals/windows/win_share_deny_write_files.h"

#include <windows.h>
#include <io.h>
#include <share.h>
#include <stdio.h>

#include "cals/stdio_file.h"
#include "cals/win_utf16.h"

namespace cals {
namespace {

std::FILE* OpenShared(const std::u16string& path, const wchar_t* mode) {
  if (!IsOpenablePath(path)) return nullptr;
  return _wfsopen(ToWide(path).c_str(), mode, _SH_DENYWR);
}

// The read-only attribute is the owner's word that the file must not
// change. Windows refuses a write open of such a file by itself, but Wine
// run as root does not (to Wine the attribute is a missing Unix write
// permission, which root does not need). It is read from the opened file,
// so no other file can take the path's place between test and write; a
// file whose attributes cannot be told counts as read-only.
bool IsReadOnly(std::FILE* stream) {
  const intptr_t osHandle = _get_osfhandle(_fileno(stream));
  BY_HANDLE_FILE_INFORMATION information;
  if (osHandle == -1 || !GetFileInformationByHandle(reinterpret_cast<HANDLE>(osHandle), &information)) {
    return true;
  }
  return (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForRead(const std::u16string& path) {
  return AdoptStdioFile(OpenShared(path, L"rb"));
}

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForUpdate(const std::u16string& path) {
  std::FILE* stream = OpenShared(path, L"r+b");
  // Owned first: a refused file is closed again on the way out.
  std::unique_ptr<OpenFile> file = AdoptStdioFile(stream);
  if (!file || IsReadOnly(stream)) return nullptr;
  return file;
}

}  // namespace cals
