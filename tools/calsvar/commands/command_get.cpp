// calsvar get: the variables the host sees in each file, as lines, JSON
// lines or one CSV table.
#include <algorithm>
#include <utility>

#include "cals/header_layout.h"
#include "cals/text_rules.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/configuration/configuration_note.h"
#include "tools/calsvar/configuration/remembered_settings.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/files/full_path.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/output/value_text.h"
#include "tools/calsvar/output/wide_text.h"
#include "tools/calsvar/plugin/exposed_names.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/tables/csv_export.h"
#include "tools/calsvar/writing/header_plausibility.h"
#include "tools/calsvar/writing/memory_header_file.h"

namespace calsvar {
namespace {

constexpr wchar_t kPictureSize[] = L"rpelcnt";

void ShowValues(const Invocation& inv, Console& console, const std::wstring& path, std::u16string_view shownFile,
                const std::vector<VariableValue>& values) {
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").String(shownFile).Key("variables").BeginArray();
    for (const VariableValue& v : values) {
      json.BeginObject().Key("name").String(ToUtf16(v.name)).Key("found").Bool(v.found).Key("value");
      if (v.found) {
        json.String(ToUtf16(v.value));
      } else {
        json.Null();
      }
      json.EndObject();
    }
    json.EndArray().EndObject();
    console.Out(json.text());
  } else if (!inv.csv) {
    // A name that is not found shows nothing: an empty value would look
    // like one the file holds.
    for (const VariableValue& v : values) {
      if (v.found) console.Out(EscapedForLine(ToUtf16(v.name)) + "\t" + EscapedForLine(ToUtf16(v.value)));
    }
  }
  for (const VariableValue& v : values) {
    if (!v.found) {
      console.Err("calsvar: " + Utf8(path) + ": no variable named \"" + Utf8(v.name) + "\" (" + kNoSuchVariable + ")");
    }
  }
}

// The names asked for, read in one GetVariables call together with
// rpelcnt unless it is among them: the plug-in's answers then tell whether
// the file looks like a CALS header, and calsvar reads no header of its
// own. `values` gets the names asked only; `why` the judgement.
HRESULT ReadAskedNames(IOrvFileNavigator* file, const std::vector<std::wstring>& names, std::vector<VariableValue>& values,
                       std::string& why) {
  std::vector<std::wstring> asked = names;
  const auto isPictureSize = [](const std::wstring& name) { return cals::LowersTo(ToUtf16(name), ToUtf16(kPictureSize)); };
  const auto own = std::find_if(names.begin(), names.end(), isPictureSize);
  const std::size_t pictureSizeAt = own == names.end() ? names.size() : static_cast<std::size_t>(own - names.begin());
  if (own == names.end()) asked.emplace_back(kPictureSize);
  const HRESULT hr = ReadVariables(file, asked, values);
  if (FAILED(hr)) return hr;
  std::optional<std::u16string> pictureSize;
  if (values[pictureSizeAt].found) pictureSize = ToUtf16(values[pictureSizeAt].value);
  std::vector<std::pair<std::u16string, std::u16string>> texts;
  for (const VariableValue& v : values) {
    if (v.found) texts.emplace_back(ToUtf16(v.name), ToUtf16(v.value));
  }
  why = WhyValuesNotCalsLooking(pictureSize, texts);
  values.resize(names.size());
  return hr;
}

}  // namespace

int RunGet(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  NoteMissingConfiguration(console);
  // Without --name, calsvar reads each header once more to list its names
  // (the plug-in's objects cannot list them): through its own copy of the
  // core, whose configuration store asks the configuration file only for
  // its identity once its answers are known, with the installation folder
  // found once per run. The values come from the plug-in.
  const cals::HeaderPlatform& own = cals::WindowsHeaderPlatform();
  RememberedInstallation installation(*own.installation);
  CsvExport table;
  const int exitCode = ForEachCalsFile(inv, format, console, [&](const std::wstring& path) {
    // A table names each file by its full path, so that set --from finds
    // the same files from any folder.
    const std::u16string shownFile = inv.csv || inv.json ? FullPathForTable(path) : ToUtf16(path);
    HRESULT hr = S_OK;
    const ComPtr<IOrvFileNavigator> file = OpenThroughPlugin(format, path, hr);
    if (!file) {
      ReportLoadFailure(inv, console, path, hr, shownFile);
      return static_cast<int>(kExitLoadFailed);
    }
    std::vector<std::wstring> names;
    for (const std::u16string& name : inv.names) names.push_back(ToWide(name));
    std::vector<VariableValue> values;
    std::string notCals;
    if (names.empty()) {
      const auto header = ReadHeaderBytes(path);
      const bool whole = header && header->size() == cals::kHeaderSize;
      if (whole) notCals = WhyNotCalsLooking(*header);
      // Listed from the bytes just read, without a third open of the file.
      MemoryHeaderFile bytes(whole ? *header : std::vector<unsigned char>());
      const cals::HeaderPlatform listing{own.codec, whole ? &bytes : own.files, own.config, &installation, own.configStore};
      cals::Status status = 0;
      for (const std::u16string& name : ExposedVariableNames(listing, path, status)) names.push_back(ToWide(name));
      if (!cals::Succeeded(status)) {
        ReportLoadFailure(inv, console, path, static_cast<HRESULT>(status), shownFile);
        return static_cast<int>(kExitLoadFailed);
      }
      if (names.empty()) {
        console.Err("calsvar: " + Utf8(path) + ": the header holds no records");
        if (inv.csv) table.Add(shownFile, {});
        return static_cast<int>(kExitOk);
      }
      hr = ReadVariables(file.get(), names, values);
    } else {
      hr = ReadAskedNames(file.get(), names, values, notCals);
    }
    if (FAILED(hr)) {
      ReportLoadFailure(inv, console, path, hr, shownFile);
      return static_cast<int>(kExitLoadFailed);
    }
    if (!notCals.empty()) {
      console.Err("calsvar: warning: " + Utf8(path) + " does not look like a CALS header (" + notCals + "); " +
                  (inv.csv ? "its row in the table holds only its path"
                           : "this is what the host would see; 'calsvar check' tells more"));
    }
    if (inv.csv) {
      // What is not a header adds no columns: its record names are noise.
      std::vector<std::pair<std::u16string, std::u16string>> cells;
      for (const VariableValue& v : values) {
        if (v.found && notCals.empty()) cells.emplace_back(ToUtf16(v.name), ToUtf16(v.value));
      }
      table.Add(shownFile, cells);
    }
    ShowValues(inv, console, path, shownFile, values);
    const bool allFound = std::all_of(values.begin(), values.end(), [](const VariableValue& v) { return v.found; });
    return static_cast<int>(allFound ? kExitOk : kExitRefused);
  });
  if (inv.csv) console.Raw(table.Text(inv.names, inv.csvSeparator));
  return exitCode;
}

}  // namespace calsvar
