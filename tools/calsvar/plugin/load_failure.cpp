#include "tools/calsvar/plugin/load_failure.h"

#include <array>
#include <memory>

#include "cals/record_fields.h"
#include "cals/windows/windows_platform.h"
#include "plugin/result_codes.h"
#include "tools/calsvar/configuration/config_lint.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/configuration/installed_config.h"
#include "tools/calsvar/output/shown_paths.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

// The names of the records the plug-in parses, read the way it reads them.
std::vector<std::u16string> RecordNames(const std::wstring& path) {
  const cals::HeaderPlatform& platform = cals::WindowsHeaderPlatform();
  std::vector<std::u16string> names;
  const std::unique_ptr<cals::OpenFile> file = platform.files->OpenForRead(ToUtf16(path));
  std::array<unsigned char, cals::kWrittenSize> block{};
  if (!file || file->Read(block.data(), block.size()) != block.size()) return names;
  for (std::size_t r = 0; r < cals::kParsedRecords; ++r) {
    const std::span<const unsigned char, cals::kRecordSize> record(block.data() + r * cals::kRecordSize,
                                                                   cals::kRecordSize);
    if (auto fields = cals::ReadRecordFields(record, *platform.codec)) names.push_back(fields->name);
  }
  return names;
}

std::string ExplainConfigurationFailure(const std::wstring& path) {
  const std::wstring iniPath = InstalledConfigPath();
  if (iniPath.empty()) {
    return "the tag configuration cannot be located: " + SharedLocationHelp() + " is missing or empty";
  }
  const std::string checkConfig = "run '" + CalsvarCommand("check-config") + "'";
  std::string error;
  bool missing = false;
  const auto doc = ReadProfileFile(iniPath, error, missing);
  if (doc) {
    for (const std::u16string& record : RecordNames(path)) {
      const auto findings = WhyRecordIsRefused(*doc, record);
      if (findings.empty()) continue;
      const Finding& first = findings.front();
      return "the tag configuration " + ShownPath(iniPath) + " refuses the record \"" + Utf8(record) + "\": line " +
             std::to_string(first.line) + ", " + first.entry + ": " + first.reason + "; " + checkConfig +
             " for all problems";
    }
  }
  return "the tag configuration " + ShownPath(iniPath) +
         " (found through \"SharedLocation\") could not be used, or it refused a record of this file; " + checkConfig;
}

}  // namespace

std::string ExplainLoadFailure(const std::wstring& path, HRESULT hr) {
  return Utf8(path) + ": " + ExplainLoadFailureReason(path, hr);
}

std::string ExplainLoadFailureReason(const std::wstring& path, HRESULT hr) {
  std::string message = "cannot be loaded (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")";
  if (hr == E_FAIL) {
    message += ": " + ExplainConfigurationFailure(path);
  } else if (hr == MIROTEX_E_CANNOT_OPEN) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) message += ": there is no such file";
  } else if (hr == MIROTEX_E_TOO_SHORT) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
      message += ": it has " + std::to_string(data.nFileSizeLow) + " bytes";
    }
  }
  return message;
}

}  // namespace calsvar
