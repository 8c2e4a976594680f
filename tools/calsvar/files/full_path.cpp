#include "tools/calsvar/files/full_path.h"

#include <windows.h>

#include "tools/calsvar/output/shown_paths.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {

std::u16string FullPathForTable(const std::wstring& path) {
  std::wstring full(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length == 0) return ToUtf16(path);
    if (length < full.size()) {
      full.resize(length);
      break;
    }
    full.resize(length);  // the size it needs, with its terminating zero
  }
  return ToUtf16(ShownPathWide(full));
}

}  // namespace calsvar
