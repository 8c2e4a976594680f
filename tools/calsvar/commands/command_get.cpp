// calsvar get: the variables the host sees in each file, as lines, JSON
// lines or one CSV table.
#include <algorithm>
#include <map>

#include "cals/header_layout.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/configuration/configuration_note.h"
#include "tools/calsvar/tables/csv_table.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/plugin/exposed_names.h"
#include "tools/calsvar/files/header_bytes.h"
#include "tools/calsvar/writing/header_plausibility.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/writing/memory_header_file.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/configuration/remembered_settings.h"
#include "tools/calsvar/output/value_text.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

// The rows of "get --csv", kept until every file has given its names.
class CsvTable {
 public:
  void Add(const std::wstring& path, const std::vector<VariableValue>& values) {
    std::map<std::u16string, std::u16string> row;
    for (const VariableValue& v : values) {
      if (!v.found) continue;
      const std::u16string name = ToUtf16(v.name);
      if (std::find(columns_.begin(), columns_.end(), name) == columns_.end()) columns_.push_back(name);
      row.emplace(name, ToUtf16(v.value));
    }
    rows_.emplace_back(ToUtf16(path), std::move(row));
  }
  void Show(Console& console, const std::vector<std::u16string>& askedNames) const {
    const std::vector<std::u16string>& columns = askedNames.empty() ? columns_ : askedNames;
    std::vector<std::u16string> head{u"file"};
    head.insert(head.end(), columns.begin(), columns.end());
    std::string text = CsvRow(head);
    for (const auto& [file, values] : rows_) {
      std::vector<std::u16string> cells{file};
      for (const std::u16string& column : columns) {
        const auto found = values.find(column);
        cells.push_back(found == values.end() ? std::u16string() : found->second);
      }
      text += CsvRow(cells);
    }
    console.Raw(text);
  }

 private:
  std::vector<std::u16string> columns_;  // in order of first appearance
  std::vector<std::pair<std::u16string, std::map<std::u16string, std::u16string>>> rows_;
};

void ShowValues(const Invocation& inv, Console& console, const std::wstring& path,
                const std::vector<VariableValue>& values) {
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").String(ToUtf16(path)).Key("variables").BeginArray();
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

}  // namespace

int RunGet(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  NoteMissingConfiguration(console);
  // calsvar reads each header once more to list its names (the plug-in's
  // objects cannot list them): through its own copy of the core, whose
  // configuration store asks the configuration file only for its identity
  // once its answers are known, with the installation folder found once per
  // run. The values come from the plug-in.
  const cals::HeaderPlatform& own = cals::WindowsHeaderPlatform();
  RememberedInstallation installation(*own.installation);
  CsvTable table;
  const int exitCode = ForEachOpenedFile(inv, format, console, [&](const std::wstring& path, ComPtr<IOrvFileNavigator> file) {
    const auto header = ReadHeaderBytes(path);
    const bool whole = header && header->size() == cals::kHeaderSize;
    if (whole) {
      if (const std::string why = WhyNotCalsLooking(*header); !why.empty()) {
        console.Err("calsvar: warning: " + Utf8(path) + " does not look like a CALS header (" + why +
                    "); this is what the host would see; 'calsvar check' tells more");
      }
    }
    std::vector<std::wstring> names;
    for (const std::u16string& name : inv.names) names.push_back(ToWide(name));
    if (names.empty()) {
      // Listed from the bytes just read, without a third open of the file.
      MemoryHeaderFile bytes(whole ? *header : std::vector<unsigned char>());
      const cals::HeaderPlatform listing{own.codec, whole ? &bytes : own.files, own.config, &installation, own.configStore};
      cals::Status status = 0;
      for (const std::u16string& name : ExposedVariableNames(listing, path, status)) names.push_back(ToWide(name));
      if (!cals::Succeeded(status)) {
        ReportLoadFailure(inv, console, path, status);
        return static_cast<int>(kExitLoadFailed);
      }
      if (names.empty()) {
        console.Err("calsvar: " + Utf8(path) + ": the header holds no records");
        if (inv.csv) table.Add(path, {});
        return static_cast<int>(kExitOk);
      }
    }
    std::vector<VariableValue> values;
    const HRESULT hr = ReadVariables(file.get(), names, values);
    if (FAILED(hr)) {
      ReportLoadFailure(inv, console, path, hr);
      return static_cast<int>(kExitLoadFailed);
    }
    if (inv.csv) table.Add(path, values);
    ShowValues(inv, console, path, values);
    const bool allFound = std::all_of(values.begin(), values.end(), [](const VariableValue& v) { return v.found; });
    return static_cast<int>(allFound ? kExitOk : kExitRefused);
  });
  if (inv.csv) table.Show(console, inv.names);
  return exitCode;
}

}  // namespace calsvar
