#include "tools/calsvar/files/file_reading.h"

#include <algorithm>

namespace calsvar {

cals::UniqueFile OpenForReading(const std::wstring& path) {
  return cals::UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string WhyUnreadable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "cannot be read: there is no such file";
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return "cannot be read: it is a folder";
  return "cannot be read: it is open for writing elsewhere, or access is denied";
}

bool ReadUpTo(HANDLE handle, std::string& bytes, std::size_t limit) {
  char buffer[65536];
  while (bytes.size() < limit) {
    const std::size_t want = std::min<std::size_t>(sizeof buffer, limit - bytes.size());
    DWORD got = 0;
    if (!ReadFile(handle, buffer, static_cast<DWORD>(want), &got, nullptr)) return GetLastError() == ERROR_BROKEN_PIPE;
    if (got == 0) return true;
    bytes.append(buffer, got);
  }
  return true;
}

}  // namespace calsvar
