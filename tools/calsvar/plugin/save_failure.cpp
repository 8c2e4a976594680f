#include "tools/calsvar/plugin/save_failure.h"

#include "cals/header_layout.h"
#include "cals/status.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/output/hresult_text.h"
#include "cals/windows/unique_file.h"

namespace calsvar {
namespace {

// The same open the plug-in's save makes: read and write, others may only
// read. Empty text when it succeeds.
std::string WhyNotWritable(const std::wstring& path) {
  const cals::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() != INVALID_HANDLE_VALUE) return {};
  const DWORD code = GetLastError();
  if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
    return "the file is held by another program";
  }
  if (code == ERROR_ACCESS_DENIED) return "writing the file is not permitted (access denied)";
  const HRESULT hr = HRESULT_FROM_WIN32(code);
  return "the file cannot be opened for writing (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")";
}

}  // namespace

std::string ExplainSaveFailure(const std::wstring& path, const std::vector<unsigned char>& loaded, HRESULT hr) {
  constexpr char kNothing[] = "; nothing was written";
  if (hr == static_cast<HRESULT>(cals::kWriteFault)) {
    return "the header could not be written completely (" + HexCode(hr) + ": " + DescribeHresult(hr) +
           "); the file may hold part of the new header";
  }
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "the file is no longer there" + std::string(kNothing);
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return "the file is read-only" + std::string(kNothing);
  if (std::string why = WhyNotWritable(path); !why.empty()) return why + kNothing;
  const auto now = ReadHeaderBytes(path);
  if (now && now->size() < cals::kHeaderSize) {
    return "the file is now shorter than a header (" + std::to_string(now->size()) + " bytes)" + kNothing;
  }
  if (now && *now != loaded) return "the header changed on disk while calsvar worked on it" + std::string(kNothing);
  return "the header could not be saved (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")";
}

}  // namespace calsvar
