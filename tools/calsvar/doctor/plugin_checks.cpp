// The registered plug-in at work, reached through COM as the host reaches
// it: its classes, the format's description, its version, and one round
// trip through a temporary copy of the sample calsvar carries.
#include <windows.h>
#include <objbase.h>

#include <span>

#include "base/version.h"
#include "cals/windows/windows_platform.h"
#include "com/com_ptr.h"
#include "convert/windows/ole_handles.h"
#include "host_interfaces_h.h"
#include "mirotex_h.h"
#include "tools/calsvar/doctor/doctor_checks.h"
#include "tools/calsvar/doctor/registry_reading.h"
#include "cals/windows/unique_file.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/plugin/dll_version.h"
#include "tools/calsvar/plugin/exposed_names.h"
#include "tools/calsvar/plugin/load_failure.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/plugin/save_failure.h"
#include "tools/calsvar/plugin/variable_items.h"

namespace calsvar {
namespace {

constexpr wchar_t kChangedVariable[] = L"notes";
constexpr wchar_t kChangedValue[] = L"Checked by calsvar doctor";

std::string Code(HRESULT hr) { return HexCode(hr) + ": " + DescribeHresult(hr); }

std::u16string BstrText(const UniqueBstr& text) {
  return text.get() == nullptr ? std::u16string() : ToUtf16(std::wstring_view(text.get(), SysStringLen(text.get())));
}

// The temporary copy; deleted when the object goes, should the round trip
// end early.
class TemporaryCopy {
 public:
  TemporaryCopy() = default;
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;
  ~TemporaryCopy() { Delete(); }

  // Writes the sample under a new name in the temporary folder. On failure
  // the error names the folder and the reason.
  bool Create(std::span<const unsigned char> bytes, std::string& error) {
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH) {
      error = "there is no temporary folder (" + Code(HRESULT_FROM_WIN32(GetLastError())) + ")";
      return false;
    }
    folder_ = folder;
    // A name of its own: an existing file is never opened, let alone changed.
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
      path_ = folder_ + L"calsvar-doctor-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(attempt) + L".cal";
      const cals::UniqueFile file(
          CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file.get() == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_EXISTS) continue;
        break;
      }
      created_ = true;
      DWORD written = 0;
      if (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
          written == bytes.size()) {
        return true;
      }
      break;
    }
    error = "the sample cannot be written into the temporary folder \"" + Utf8(folder_) + "\" (" +
            Code(HRESULT_FROM_WIN32(GetLastError())) +
            "): the round trip needs a writable temporary folder; set TEMP to one and run doctor again";
    return false;
  }

  // False when a copy that was made cannot be deleted.
  bool Delete() {
    if (!created_) return true;
    created_ = !DeleteFileW(path_.c_str());
    return !created_;
  }

  const std::wstring& path() const { return path_; }
  const std::wstring& folder() const { return folder_; }

 private:
  std::wstring folder_;
  std::wstring path_;
  bool created_ = false;
};

// The values of `names`; empty with `error` set when the plug-in does not
// give them all.
std::optional<std::vector<VariableValue>> ReadAll(IOrvFileNavigator* file, const std::vector<std::wstring>& names,
                                                  std::string& error) {
  std::vector<VariableValue> values;
  const HRESULT hr = ReadVariables(file, names, values);
  if (FAILED(hr)) {
    error = "GetVariables failed (" + Code(hr) + ")";
    return std::nullopt;
  }
  for (const VariableValue& v : values) {
    if (!v.found) {
      error = "the plug-in does not give the variable \"" + Utf8(v.name) + "\"";
      return std::nullopt;
    }
  }
  return values;
}

// The step that failed, or empty text when the round trip went through.
std::string RoundTrip(const TemporaryCopy& copy, std::size_t& variableCount) {
  ComPtr<IOrvFileFormat> format;
  HRESULT hr = CoCreateInstance(CLSID_CalsFormat, nullptr, CLSCTX_INPROC_SERVER, IID_IOrvFileFormat, format.put_void());
  if (FAILED(hr)) return "step \"create the format object\" failed (" + Code(hr) + ")";

  ComPtr<IOrvFileNavigator> file = OpenThroughPlugin(format.get(), copy.path(), hr);
  if (!file) return "step \"load\" failed: " + ExplainLoadFailureReason(copy.path(), hr);

  cals::Status status = cals::kOk;
  std::vector<std::wstring> names;
  for (const std::u16string& name : ExposedVariableNames(cals::WindowsHeaderPlatform(), copy.path(), status)) {
    names.push_back(ToWide(name));
  }
  if (names.empty()) {
    return "step \"read every variable\" failed: calsvar cannot list the file's variables (" + Code(status) + ")";
  }
  std::string error;
  const auto before = ReadAll(file.get(), names, error);
  if (!before) return "step \"read every variable\" failed: " + error;
  variableCount = names.size();

  VariableItems items;
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = SysAllocString(kChangedValue);
  if (value.bstrVal == nullptr) throw std::bad_alloc();
  items.Add(kChangedVariable, value);
  hr = file->SetVariables(0, 0, 0, items.count(), items.data(), 0);
  if (FAILED(hr) || items[0].resultFlag != 1) {
    return "step \"change notes\" failed (" + (FAILED(hr) ? Code(hr) : "the plug-in refused the value") +
           "): does the tag configuration make \"notes\" read-only, or cut it into sub-tags?";
  }
  hr = file->Save();
  if (FAILED(hr)) {
    const std::vector<unsigned char> loaded(embedded::kRoundTripSample.begin(), embedded::kRoundTripSample.end());
    return "step \"save\" failed (" + Code(hr) + "): " + ExplainSaveFailure(copy.path(), loaded, hr);
  }
  file.Reset();

  file = OpenThroughPlugin(format.get(), copy.path(), hr);
  if (!file) return "step \"load again\" failed: " + ExplainLoadFailureReason(copy.path(), hr);
  const auto after = ReadAll(file.get(), names, error);
  if (!after) return "step \"read again\" failed: " + error;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const std::wstring expected = names[i] == kChangedVariable ? std::wstring(kChangedValue) : (*before)[i].value;
    if ((*after)[i].value != expected) {
      return "step \"compare\" failed: \"" + Utf8(names[i]) + "\" should be \"" + Utf8(expected) + "\", but is \"" +
             Utf8((*after)[i].value) + "\" after the save";
    }
  }
  return {};
}

std::string ClassesNotCreated(const DoctorSetup& setup, std::string& created) {
  std::string failures;
  for (const ExpectedClass& c : setup.classes) {
    CLSID clsid;
    HRESULT hr = CLSIDFromString(ToWide(c.clsid).c_str(), &clsid);
    ComPtr<IUnknown> object;
    if (SUCCEEDED(hr)) hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.put_void());
    if (FAILED(hr)) {
      failures += (failures.empty() ? "" : "; ") + Utf8(c.name) + " (" + Code(hr) + ")";
    } else {
      created += (created.empty() ? "" : ", ") + Utf8(c.name);
    }
  }
  return failures;
}

}  // namespace

void CheckPluginAnswers(const DoctorSetup& setup, DoctorReport& report) {
  std::string created;
  const std::string failures = ClassesNotCreated(setup, created);
  if (failures.empty()) {
    report.Ok("classes created through COM", created);
  } else {
    report.Error("classes created through COM",
                 "not created: " + failures + ": register the plug-in again: " + RegisterAdvice(setup));
  }

  ComPtr<IOrvFileFormat> format;
  if (SUCCEEDED(CoCreateInstance(CLSID_CalsFormat, nullptr, CLSCTX_INPROC_SERVER, IID_IOrvFileFormat,
                                 format.put_void()))) {
    UniqueBstr name;
    UniqueBstr description;
    UniqueBstr extensions;
    const HRESULT hr = format->GetDescription(name.put(), description.put(), extensions.put());
    if (FAILED(hr) || BstrText(description).empty() || BstrText(extensions).empty()) {
      report.Error("format description", "the format object gives no description or no extensions" +
                                              (FAILED(hr) ? " (" + Code(hr) + ")" : std::string()) +
                                              ": the DLL is damaged; install it again");
    } else {
      report.Ok("format description",
                "\"" + Utf8(BstrText(description)) + "\", extensions " + Utf8(BstrText(extensions)));
    }
  }

  const auto dll =
      ReadRegistryText(HKEY_CLASSES_ROOT, L"CLSID\\" + GuidText(CLSID_CalsFormat) + L"\\InprocServer32", L"");
  std::string error;
  const std::optional<std::string> version = dll ? DllFileVersion(*dll, error) : std::nullopt;
  if (!version) return;  // no DLL registered, or none there: named above
  if (*version == MIROTEX_VERSION_TEXT) {
    report.Ok("plug-in version", *version + ", the same as calsvar's");
  } else {
    report.Warning("plug-in version", "the registered DLL is " + *version + ", calsvar is " + MIROTEX_VERSION_TEXT +
                                          ": use the calsvar.exe of the plug-in's own release");
  }
}

void CheckRoundTrip(DoctorReport& report) {
  const std::string checked = "round trip on a temporary copy of a sample";
  TemporaryCopy copy;
  std::string error;
  if (!copy.Create(embedded::kRoundTripSample, error)) {
    report.Error(checked, "step \"copy\" failed: " + error);
    return;
  }
  std::size_t variables = 0;
  const std::string failure = RoundTrip(copy, variables);
  const bool deleted = copy.Delete();
  const std::string notDeleted =
      deleted ? std::string() : "; the copy \"" + Utf8(copy.path()) + "\" could not be deleted: delete it by hand";
  if (!failure.empty()) {
    report.Error(checked, failure + notDeleted);
  } else if (!deleted) {
    report.Error(checked, "the round trip went through" + notDeleted);
  } else {
    report.Ok(checked, "in \"" + Utf8(copy.folder()) + "\": loaded, " + std::to_string(variables) +
                           " variables read, notes changed and saved, loaded again, every variable as written; "
                           "the copy is deleted");
  }
}

}  // namespace calsvar
