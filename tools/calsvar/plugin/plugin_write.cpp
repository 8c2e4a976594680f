#include "tools/calsvar/plugin/plugin_write.h"

#include <exception>
#include <new>
#include <stdexcept>

#include "base/version.h"
#include "cals/header_layout.h"
#include "cals/windows/windows_platform.h"
#include "convert/windows/variant_text.h"
#include "tools/calsvar/writing/code_page_check.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/writing/header_forecast.h"
#include "tools/calsvar/writing/header_plausibility.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/plugin/load_failure.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/plugin/save_failure.h"
#include "tools/calsvar/plugin/variable_items.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

VARIANT ValueOf(const Assignment& assignment) {
  VARIANT value;
  VariantInit(&value);
  if (assignment.date) {
    value.vt = VT_DATE;
    value.date = *assignment.date;
    return value;
  }
  value.bstrVal = SysAllocStringLen(reinterpret_cast<const wchar_t*>(assignment.text.data()),
                                    static_cast<UINT>(assignment.text.size()));
  if (value.bstrVal == nullptr) throw std::bad_alloc();
  value.vt = VT_BSTR;
  return value;
}

// What a value asks the variable to become: the text, or a date as the
// plug-in renders it in the date style.
std::u16string AskedText(const Assignment& assignment, std::int32_t dateStyle) {
  if (!assignment.date) return assignment.text;
  const VARIANT date = ValueOf(assignment);
  try {
    return ToUtf16(convert::VariantToText(date, dateStyle));
  } catch (...) {
    return assignment.text;  // then the read-back shows what it became
  }
}

std::runtime_error PluginFailure(const char* what, HRESULT hr) {
  return std::runtime_error(std::string(what) + " (" + HexCode(hr) + ": " + DescribeHresult(hr) + ")");
}

// The opened file through its IOrvFileNavigator, as the host reaches it.
class PluginVariables final : public VariableAccess {
 public:
  PluginVariables(IOrvFileNavigator* file, const std::vector<Assignment>& values, std::int32_t dateStyle)
      : file_(file), values_(values), dateStyle_(dateStyle) {}

  std::vector<std::optional<std::u16string>> Read(const std::vector<std::u16string>& names) override {
    std::vector<std::optional<std::u16string>> result;
    if (names.empty()) return result;
    std::vector<std::wstring> wide;
    for (const std::u16string& name : names) wide.push_back(ToWide(name));
    std::vector<VariableValue> values;
    const HRESULT hr = ReadVariables(file_, wide, values);
    if (FAILED(hr)) throw PluginFailure("the plug-in could not read the values", hr);
    for (const VariableValue& v : values) {
      result.push_back(v.found ? std::optional(ToUtf16(v.value)) : std::nullopt);
    }
    return result;
  }

  std::vector<bool> Write(const std::vector<std::size_t>& requests) override {
    VariableItems items;
    for (std::size_t i : requests) items.Add(ToWide(values_[i].name), ValueOf(values_[i]));
    const HRESULT hr = file_->SetVariables(0, 0, 0, items.count(), items.data(), dateStyle_);
    if (FAILED(hr)) throw PluginFailure("the plug-in could not take the values", hr);
    std::vector<bool> accepted;
    for (std::size_t k = 0; k < requests.size(); ++k) accepted.push_back(items[k].resultFlag == 1);
    return accepted;
  }

 private:
  IOrvFileNavigator* file_;
  const std::vector<Assignment>& values_;
  std::int32_t dateStyle_;
};

// A header that does not look like a CALS header is written into only with
// --force: why not, or empty text when the write may go on.
std::string NotCalsRefusal(const std::vector<unsigned char>& header, bool force) {
  const std::string why = force ? std::string() : WhyNotCalsLooking(header);
  return why.empty() ? why : "does not look like a CALS header: " + why + "; nothing was written (--force writes it anyway)";
}

}  // namespace

const char* StatusWord(WriteStatus status) {
  switch (status) {
    case WriteStatus::kSaved: return "saved";
    case WriteStatus::kUnchanged: return "unchanged";
    case WriteStatus::kRefused: return "refused";
    case WriteStatus::kFailed: return "failed";
    case WriteStatus::kWouldSave: return "would-save";
  }
  return "failed";
}

WriteSettings WriteSettingsFor(const Invocation& inv, const PluginConnection& plugin, Console& console) {
  WriteSettings settings;
  settings.dateStyle = inv.dateStyle;
  settings.dryRun = inv.dryRun;
  settings.force = inv.force;
  settings.allowControl = inv.allowControl;
  settings.pluginVersion = plugin.DllVersion();
  if (!inv.dryRun && settings.pluginVersion != MIROTEX_VERSION_TEXT) {
    console.Err("calsvar: the plug-in is " +
                (settings.pluginVersion.empty() ? std::string("of unknown version") : "version " + settings.pluginVersion) +
                " and calsvar version " + MIROTEX_VERSION_TEXT +
                "; each saved header is read back and compared with what calsvar expected");
  }
  return settings;
}

FileWriter::FileWriter(IOrvFileFormat* format, const WriteSettings& settings)
    : format_(format),
      settings_(settings),
      installation_(*cals::WindowsHeaderPlatform().installation),
      platform_{cals::WindowsHeaderPlatform().codec, nullptr, cals::WindowsHeaderPlatform().config, &installation_,
                cals::WindowsHeaderPlatform().configStore} {}

FileWriteOutcome FileWriter::Write(const std::wstring& path, const std::vector<Assignment>& values) {
  FileWriteOutcome outcome;
  HRESULT hr = S_OK;
  ComPtr<IOrvFileNavigator> file = OpenThroughPlugin(format_, path, hr);
  if (!file) {
    outcome.code = hr;
    outcome.message = ExplainLoadFailureReason(path, hr);
    return outcome;
  }
  outcome.loaded = true;
  // Read after the plug-in's load: these are the bytes it loaded, unless
  // the file changed in between, and then the plug-in refuses the save.
  const auto header = ReadHeaderBytes(path);
  if (!header || header->size() != cals::kHeaderSize) {
    outcome.message = "calsvar could not read the header itself; nothing was written";
    return outcome;
  }
  HeaderForecast forecast(*header, platform_);
  if (!cals::Succeeded(forecast.status())) {
    if (std::string why = NotCalsRefusal(*header, settings_.force); !why.empty()) {
      outcome.status = WriteStatus::kRefused;
      outcome.message = std::move(why);
      return outcome;
    }
    outcome.code = static_cast<HRESULT>(forecast.status());
    outcome.message = "calsvar could not read the header with the tag configuration as the run began (" +
                      HexCode(outcome.code) + "); nothing was written";
    return outcome;
  }

  std::vector<RequestedValue> requests;
  for (const Assignment& value : values) requests.push_back(RequestedValue{value.name, AskedText(value, settings_.dateStyle)});
  WriteRules rules;
  rules.allowControl = settings_.allowControl;
  rules.skipUnchanged = settings_.skipUnchanged;
  rules.numbersAsSpreadsheetsSave = settings_.skipUnchanged;
  rules.pictureSizeMayChange = settings_.force;
  rules.whyNotInCodePage = WhyNotInAnsiCodePage;
  PluginVariables variables(file.get(), values, settings_.dateStyle);
  try {
    outcome.plan = PlanWrite(variables, forecast, requests, rules);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& error) {
    outcome.message = std::string(error.what()) + "; nothing was written";
    return outcome;
  }
  // A row that changes nothing is no write, whatever the file is.
  if (!outcome.plan.Refused() && !outcome.plan.Changes()) {
    outcome.status = WriteStatus::kUnchanged;
    return outcome;
  }
  if (std::string why = NotCalsRefusal(*header, settings_.force); !why.empty()) {
    outcome.status = WriteStatus::kRefused;
    outcome.message = std::move(why);
    return outcome;
  }
  if (outcome.plan.Refused()) {
    outcome.status = WriteStatus::kRefused;
    return outcome;
  }

  const std::vector<unsigned char>& saved = forecast.SavedBytes();
  outcome.records = ChangedRecords(*header, saved, *platform_.codec);
  std::string errors;
  for (cals::conformance::Finding& finding : FindingsAdded(*header, saved)) {
    if (finding.severity == cals::conformance::Severity::kError && !settings_.force) {
      errors += (errors.empty() ? "" : "; ") + cals::conformance::FindingText(finding);
    } else {
      outcome.findingsAdded.push_back(std::move(finding));
    }
  }
  if (!errors.empty()) {
    outcome.status = WriteStatus::kRefused;
    outcome.message = "the saved header would hold what other CALS readers refuse: " + errors +
                      "; nothing was written (--force writes it anyway)";
    return outcome;
  }

  if (settings_.dryRun) {
    outcome.status = WriteStatus::kWouldSave;
  } else if (hr = file->Save(); FAILED(hr)) {
    outcome.code = hr;
    outcome.message = ExplainSaveFailure(path, *header, hr);
  } else if (outcome.written = true; ReadHeaderBytes(path) != saved) {
    // The checks above judged the forecast, not the file: a plug-in of
    // another version may build records otherwise, and then only reading
    // the file back shows it.
    outcome.message = "the plug-in wrote another header than calsvar expected: plug-in " +
                      (settings_.pluginVersion.empty() ? std::string("of unknown version") : settings_.pluginVersion) +
                      ", calsvar " + MIROTEX_VERSION_TEXT;
  } else {
    outcome.status = WriteStatus::kSaved;
  }
  return outcome;
}

}  // namespace calsvar
