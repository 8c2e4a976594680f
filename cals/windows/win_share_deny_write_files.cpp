#include "cals/windows/win_share_deny_write_files.h"

#include <windows.h>
#include <io.h>
#include <share.h>
#include <stdio.h>

#include "cals/stdio_file.h"
#include "cals/win_utf16.h"
#include "cals/windows/win_device_paths.h"

namespace cals {
namespace {

std::FILE* OpenShared(const std::u16string& path, const wchar_t* mode) {
  // A device is refused by its name before it is opened: some never
  // answer an open.
  if (!IsOpenablePath(path) || NamesDevice(ToWide(path))) return nullptr;
  return _wfsopen(ToWide(path).c_str(), mode, _SH_DENYWR);
}

HANDLE OsHandle(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

// Whatever a name did not give away (a link, a name the test above does
// not know) shows in the opened handle: only a file on disk is read from,
// since a read from a device may never return.
bool IsDiskFile(std::FILE* stream) {
  const HANDLE handle = OsHandle(stream);
  return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
}

// The read-only attribute is the owner's word that the file must not
// change. Windows refuses a write open of such a file by itself, but Wine
// run as root does not (to Wine the attribute is a missing Unix write
// permission, which root does not need). It is read from the opened file,
// so no other file can take the path's place between test and write; a
// file whose attributes cannot be told counts as read-only.
bool IsReadOnly(std::FILE* stream) {
  const HANDLE handle = OsHandle(stream);
  BY_HANDLE_FILE_INFORMATION information;
  if (handle == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(handle, &information)) return true;
  return (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
}

}  // namespace

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForRead(const std::u16string& path) {
  std::FILE* stream = OpenShared(path, L"rb");
  // Owned first: a refused file is closed again on the way out.
  std::unique_ptr<OpenFile> file = AdoptStdioFile(stream);
  if (!file || !IsDiskFile(stream)) return nullptr;
  return file;
}

std::unique_ptr<OpenFile> ShareDenyWriteFileOpener::OpenForUpdate(const std::u16string& path) {
  std::FILE* stream = OpenShared(path, L"r+b");
  std::unique_ptr<OpenFile> file = AdoptStdioFile(stream);
  if (!file || !IsDiskFile(stream) || IsReadOnly(stream)) return nullptr;
  return file;
}

std::u16string ShareDenyWriteFileOpener::FullPath(const std::u16string& path) {
  // A zero would end the path early: such a path is kept whole and refused.
  if (!IsOpenablePath(path)) return path;
  const std::wstring given = ToWide(path);
  std::wstring full(MAX_PATH, L'\0');
  // The second call may need more room if the current folder changed in
  // between; a third try is not worth making.
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return path;
    if (length < full.size()) {
      full.resize(length);
      return ToUtf16(full);
    }
    full.assign(length, L'\0');
  }
  return path;
}

}  // namespace cals
