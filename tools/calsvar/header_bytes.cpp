#include "tools/calsvar/header_bytes.h"

#include <windows.h>

#include "cals/header_layout.h"
#include "tools/calsvar/unique_file.h"

namespace calsvar {

std::optional<std::vector<unsigned char>> ReadHeaderBytes(const std::wstring& path) {
  const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return std::nullopt;
  std::vector<unsigned char> bytes(cals::kHeaderSize);
  std::size_t got = 0;
  while (got < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &read, nullptr) || read == 0) {
      break;
    }
    got += read;
  }
  bytes.resize(got);
  return bytes;
}

}  // namespace calsvar
