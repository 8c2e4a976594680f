#include "tools/calsvar/plugin/opened_file.h"

#include <algorithm>

#include "convert/windows/ole_handles.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/files/file_arguments.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/plugin/load_failure.h"
#include "tools/calsvar/plugin/variable_items.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

// The format's extensions, should the plug-in not tell them.
constexpr const char16_t* kDefaultExtensions = kFormatExtensions;

std::u16string ExtensionsOf(IOrvFileFormat* format) {
  UniqueBstr name;
  UniqueBstr description;
  UniqueBstr extensions;
  if (SUCCEEDED(format->GetDescription(name.put(), description.put(), extensions.put())) &&
      extensions.get() != nullptr && SysStringLen(extensions.get()) > 0) {
    return ToUtf16(extensions.get());
  }
  return kDefaultExtensions;
}

void ShowFileHeading(const Invocation& inv, const FileArguments& files, Console& console, std::size_t index) {
  console.ProgressStep(index, files.files.size(), Utf8(files.files[index]));
  if (!inv.json && !inv.csv && (files.files.size() > 1 || files.namedFolder)) {
    console.Out("== " + Utf8(files.files[index]));
  }
}

}  // namespace

ComPtr<IOrvFileNavigator> OpenThroughPlugin(IOrvFileFormat* format, const std::wstring& path, HRESULT& hr) {
  ComPtr<IOrvFileNavigator> file;
  UniqueBstr bstrPath(SysAllocStringLen(path.data(), static_cast<UINT>(path.size())));
  if (bstrPath.get() == nullptr) {
    hr = E_OUTOFMEMORY;
    return file;
  }
  hr = format->OpenFile(bstrPath.get(), 0, file.put());
  if (FAILED(hr)) file.Reset();
  return file;
}

HRESULT ReadVariables(IOrvFileNavigator* file, const std::vector<std::wstring>& names,
                      std::vector<VariableValue>& values) {
  VariableItems items;
  for (const std::wstring& name : names) {
    VARIANT empty;
    VariantInit(&empty);
    items.Add(name, empty);
  }
  values.clear();
  // An empty array would reach the plug-in as a null pointer.
  if (names.empty()) return S_OK;
  const HRESULT hr = file->GetVariables(0, 0, 0, items.count(), items.data());
  for (std::size_t i = 0; i < names.size(); ++i) {
    const bool found = SUCCEEDED(hr) && items[i].resultFlag == 1;
    values.push_back(VariableValue{names[i], found, found ? VariantText(items[i].variableValue) : std::wstring()});
  }
  return hr;
}

void ReportLoadFailure(const Invocation& inv, Console& console, const std::wstring& path, HRESULT hr,
                       std::u16string_view jsonFile) {
  const std::string message = ExplainLoadFailure(path, hr);
  console.Err("calsvar: " + message);
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").String(jsonFile.empty() ? ToUtf16(path) : std::u16string(jsonFile)).Key("error").BeginObject();
    json.Key("code").Utf8String(HexCode(hr)).Key("message").Utf8String(message).EndObject().EndObject();
    console.Out(json.text());
  }
}

int ReportNoCalsFiles(const std::vector<std::u16string>& operands, std::u16string_view extensions, Console& console) {
  std::string folders;
  for (const std::u16string& operand : operands) folders += (folders.empty() ? "" : ", ") + Utf8(operand);
  std::string endings;
  for (std::size_t at = 0; at <= extensions.size();) {
    const std::size_t comma = std::min(extensions.find(u',', at), extensions.size());
    if (comma > at) endings += (endings.empty() ? "." : ", .") + Utf8(extensions.substr(at, comma - at));
    at = comma + 1;
  }
  console.Err("calsvar: no CALS files in " + folders + " (looked for files ending in " + endings + ")");
  return kExitLoadFailed;
}

int ForEachCalsFile(const Invocation& inv, IOrvFileFormat* format, Console& console, const FileWork& work,
                    bool* folderOrSeveral) {
  const std::u16string extensions = ExtensionsOf(format);
  const FileArguments files = ExpandFileArguments(inv.files, ExtensionFilter(extensions));
  if (files.files.empty()) return ReportNoCalsFiles(inv.files, extensions, console);
  if (folderOrSeveral != nullptr) *folderOrSeveral = files.namedFolder || files.files.size() > 1;
  int exitCode = kExitOk;
  for (std::size_t i = 0; i < files.files.size(); ++i) {
    ShowFileHeading(inv, files, console, i);
    exitCode = Worse(exitCode, work(files.files[i]));
  }
  console.Progress({});
  return exitCode;
}

}  // namespace calsvar
