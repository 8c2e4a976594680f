#include "tools/calsvar/files/file_reading.h"

#include <algorithm>

namespace calsvar {

UniqueFile OpenForReading(const std::wstring& path) {
  return UniqueFile(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
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
