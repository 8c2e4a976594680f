// calsvar get: the variables the host sees in each file.
#include <algorithm>

#include "cals/windows/windows_platform.h"
#include "tools/calsvar/commands.h"
#include "tools/calsvar/exit_codes.h"
#include "tools/calsvar/exposed_names.h"
#include "tools/calsvar/json_writer.h"
#include "tools/calsvar/opened_file.h"
#include "tools/calsvar/remembered_settings.h"
#include "tools/calsvar/wide_text.h"

namespace calsvar {
namespace {

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
  } else {
    for (const VariableValue& v : values) console.Out(Utf8(v.name) + "\t" + Utf8(v.value));
  }
  for (const VariableValue& v : values) {
    if (!v.found) {
      console.Err("calsvar: " + Utf8(path) + ": no variable named \"" + Utf8(v.name) + "\" (" + kNoSuchVariable + ")");
    }
  }
}

}  // namespace

int RunGet(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  // calsvar reads each header once more to list its names (the plug-in's
  // objects cannot list them): through its own copy of the core, whose
  // configuration store asks the configuration file only for its identity
  // once its answers are known, with the installation folder found once per
  // run. The values come from the plug-in.
  const cals::HeaderPlatform& own = cals::WindowsHeaderPlatform();
  RememberedInstallation installation(*own.installation);
  const cals::HeaderPlatform listing{own.codec, own.files, own.config, &installation, own.configStore};
  return ForEachOpenedFile(inv, format, console, [&](const std::wstring& path, ComPtr<IOrvFileNavigator> file) {
    std::vector<std::wstring> names;
    for (const std::u16string& name : inv.names) names.push_back(ToWide(name));
    if (names.empty()) {
      cals::Status status = 0;
      for (const std::u16string& name : ExposedVariableNames(listing, path, status)) names.push_back(ToWide(name));
      if (!cals::Succeeded(status)) {
        ReportLoadFailure(inv, console, path, status);
        return kExitLoadFailed;
      }
    }
    std::vector<VariableValue> values;
    const HRESULT hr = ReadVariables(file.get(), names, values);
    if (FAILED(hr)) {
      ReportLoadFailure(inv, console, path, hr);
      return kExitLoadFailed;
    }
    ShowValues(inv, console, path, values);
    const bool allFound = std::all_of(values.begin(), values.end(), [](const VariableValue& v) { return v.found; });
    return allFound ? kExitOk : kExitRefused;
  });
}

}  // namespace calsvar
