#include "tools/calsvar/plugin/dll_version.h"

#include <windows.h>

#include <vector>

#include "tools/calsvar/output/hresult_text.h"

namespace calsvar {

std::optional<std::string> DllFileVersion(const std::wstring& path, std::string& error) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<BYTE> data(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    error = "no version information (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")";
    return std::nullopt;
  }
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length) || length < sizeof *info) {
    error = "no version information in its version resource";
    return std::nullopt;
  }
  const WORD parts[] = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                        HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
  std::string text = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]);
  if (parts[3] != 0) text += "." + std::to_string(parts[3]);
  return text;
}

}  // namespace calsvar
