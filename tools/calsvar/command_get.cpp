// calsvar get: the variables the host sees in each file.
#include "tools/calsvar/commands.h"
#include "tools/calsvar/exit_codes.h"
#include "tools/calsvar/exposed_names.h"
#include "tools/calsvar/json_writer.h"
#include "tools/calsvar/load_failure.h"
#include "tools/calsvar/opened_file.h"
#include "tools/calsvar/wide_text.h"

namespace calsvar {
namespace {

void ShowValues(const Invocation& inv, Console& console, const std::wstring& path,
                const std::vector<VariableValue>& values) {
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").String(ToU16(path)).Key("variables").BeginArray();
    for (const VariableValue& v : values) {
      json.BeginObject().Key("name").String(ToU16(v.name)).Key("found").Bool(v.found).Key("value");
      if (v.found) {
        json.String(ToU16(v.value));
      } else {
        json.Null();
      }
      json.EndObject();
    }
    json.EndArray().EndObject();
    console.Out(json.text());
  } else {
    for (const VariableValue& v : values) console.Out(Utf8(v.name) + "\t" + Utf8(v.value));
  }
  for (const VariableValue& v : values) {
    if (!v.found) {
      console.Err("calsvar: " + Utf8(path) + ": no variable named \"" + Utf8(v.name) +
                  "\" (the file has no such record and the tag configuration no such sub-tag)");
    }
  }
}

}  // namespace

int RunGet(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  const FileArguments files = CalsFilesOf(format, inv.files);
  if (files.files.empty()) {
    console.Err("calsvar: no CALS files found");
    return kExitRefused;
  }
  int exitCode = kExitOk;
  for (std::size_t i = 0; i < files.files.size(); ++i) {
    const std::wstring& path = files.files[i];
    ShowFileHeading(inv, files, console, i);
    HRESULT hr = S_OK;
    const ComPtr<IOrvFileNavigator> file = OpenThroughPlugin(format, path, hr);
    if (!file) {
      ReportLoadFailure(inv, console, path, hr);
      exitCode = Worse(exitCode, kExitLoadFailed);
      continue;
    }
    std::vector<std::wstring> names;
    for (const std::u16string& name : inv.names) names.push_back(ToWide(name));
    if (names.empty()) {
      cals::Status status = 0;
      for (const std::u16string& name : ExposedVariableNames(path, status)) names.push_back(ToWide(name));
      if (!cals::Succeeded(status)) {
        ReportLoadFailure(inv, console, path, status);
        exitCode = Worse(exitCode, kExitLoadFailed);
        continue;
      }
    }
    std::vector<VariableValue> values;
    hr = ReadVariables(file.get(), names, values);
    if (FAILED(hr)) {
      ReportLoadFailure(inv, console, path, hr);
      exitCode = Worse(exitCode, kExitLoadFailed);
      continue;
    }
    ShowValues(inv, console, path, values);
    for (const VariableValue& v : values) {
      if (!v.found) exitCode = Worse(exitCode, kExitRefused);
    }
  }
  console.Progress({});
  return exitCode;
}

}  // namespace calsvar
