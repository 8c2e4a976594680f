#include "tools/calsvar/files/header_bytes.h"

#include <windows.h>

#include "cals/header_layout.h"
#include "tools/calsvar/files/file_reading.h"

namespace calsvar {

std::optional<std::vector<unsigned char>> ReadHeaderBytes(const std::wstring& path) {
  const cals::UniqueFile file = OpenForReading(path);
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  std::string bytes;
  ReadUpTo(file.get(), bytes, cals::kHeaderSize);
  return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

}  // namespace calsvar
