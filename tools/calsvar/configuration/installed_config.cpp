#include "tools/calsvar/configuration/installed_config.h"

#include <windows.h>

#include "cals/windows/settings_light.h"
#include "cals/tag_finder.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/files/file_reading.h"

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
  const cals::UniqueFile file = OpenForReading(path);
  if (file.get() == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    missing = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    error = Utf8(path) + ": cannot be read (" + DescribeHresult(HRESULT_FROM_WIN32(code)) + ")";
    return std::nullopt;
  }
  std::string bytes;
  ReadUpTo(file.get(), bytes);
  return ProfileDocument::Parse(DecodeProfileBytes(bytes, SystemAnsiCodec()));
}

}  // namespace calsvar
