#include "tools/calsvar/installed_config.h"

#include <windows.h>

#include "cals/windows/settings_light.h"
#include "cals/tag_finder.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/hresult_text.h"
#include "tools/calsvar/wide_text.h"
#include "tools/calsvar/unique_file.h"

namespace calsvar {
namespace {

// INI files without a byte-order mark are read in the system's ANSI code
// page.
class SystemAnsiCodec final : public cals::TextCodec {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    if (bytes.empty()) return {};
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return ToUtf16(text);
  }
  std::string Encode(std::u16string_view, std::size_t) const override { return {}; }
};

}  // namespace

std::wstring InstalledConfigPath() {
  // The plug-in's own rule for where the file lies.
  cals::TagFinder finder(cals::WindowsHeaderPlatform());
  return finder.LocateConfiguration() ? ToWide(finder.iniPath()) : std::wstring();
}

std::string SharedLocationHelp() {
  return "the registry value \"" + Utf8(kSharedLocationValue) + "\" under HKEY_LOCAL_MACHINE\\" + Utf8(kProductKey);
}

std::optional<ProfileDocument> ReadProfileFile(const std::wstring& path, std::string& error, bool& missing) {
  missing = false;
  const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    error = Utf8(path) + ": cannot be read (" + DescribeHresult(HRESULT_FROM_WIN32(code)) + ")";
    return std::nullopt;
  }
  std::string bytes;
  char buffer[65536];
  DWORD got = 0;
  while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  return ProfileDocument::Parse(DecodeProfileBytes(bytes, SystemAnsiCodec()));
}

}  // namespace calsvar
