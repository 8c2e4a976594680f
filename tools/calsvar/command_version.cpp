// calsvar --version: its own version, and the version and path of the
// plug-in DLL that the other commands would use, so that an administrator
// sees what is installed and registered.
#include <windows.h>

#include <vector>

#include "base/version.h"
#include "tools/calsvar/commands.h"
#include "tools/calsvar/exit_codes.h"
#include "tools/calsvar/hresult_text.h"
#include "tools/calsvar/plugin_connection.h"
#include "tools/calsvar/wide_text.h"

namespace calsvar {
namespace {

// "1.0.0" from the version resource's fixed part; a fourth part only when
// it is not 0, as the project version is written.
std::optional<std::string> FileVersion(const std::wstring& path, std::string& error) {
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

}  // namespace

int RunVersion(const Invocation& inv, Console& console) {
  console.Out(std::string("calsvar ") + MIROTEX_VERSION_TEXT);
  std::string error;
  const std::optional<std::wstring> dll =
      inv.dll ? std::optional(ToWide(*inv.dll)) : PluginConnection::RegisteredDll(error);
  if (!dll) {
    console.Out("plug-in: none registered (" + error +
                "); register mirotex.dll with regsvr32, or name one with --dll PATH");
    return kExitOk;
  }
  const std::string source = inv.dll ? "given with --dll" : "registered";
  const std::optional<std::string> version = FileVersion(*dll, error);
  if (!version) {
    console.Out("plug-in, " + source + ": " + Utf8(*dll) + ": " + error);
    return kExitOk;
  }
  console.Out("plug-in " + *version + ", " + source + ": " + Utf8(*dll));
  return kExitOk;
}

}  // namespace calsvar
