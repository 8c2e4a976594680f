#include "tools/calsvar/opened_file.h"

#include "convert/windows/ole_handles.h"
#include "tools/calsvar/exit_codes.h"
#include "tools/calsvar/file_arguments.h"
#include "tools/calsvar/hresult_text.h"
#include "tools/calsvar/json_writer.h"
#include "tools/calsvar/load_failure.h"
#include "tools/calsvar/variable_items.h"
#include "tools/calsvar/wide_text.h"

namespace calsvar {
namespace {

// The format's extensions, should the plug-in not tell them.
constexpr const char16_t* kDefaultExtensions = kFormatExtensions;

FileArguments CalsFilesOf(IOrvFileFormat* format, const std::vector<std::u16string>& operands) {
  UniqueBstr name;
  UniqueBstr description;
  UniqueBstr extensions;
  std::u16string list = kDefaultExtensions;
  if (SUCCEEDED(format->GetDescription(name.put(), description.put(), extensions.put())) &&
      extensions.get() != nullptr && SysStringLen(extensions.get()) > 0) {
    list = ToUtf16(extensions.get());
  }
  return ExpandFileArguments(operands, ExtensionFilter(list));
}

void ShowFileHeading(const Invocation& inv, const FileArguments& files, Console& console, std::size_t index) {
  if (files.files.size() > 200) {
    console.Progress("[" + std::to_string(index + 1) + "/" + std::to_string(files.files.size()) + "] " +
                     Utf8(files.files[index]));
  }
  if (!inv.json && (files.files.size() > 1 || files.namedFolder)) console.Out("== " + Utf8(files.files[index]));
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
  const HRESULT hr = file->GetVariables(0, 0, 0, items.count(), items.data());
  values.clear();
  for (std::size_t i = 0; i < names.size(); ++i) {
    const bool found = SUCCEEDED(hr) && items[i].resultFlag == 1;
    values.push_back(VariableValue{names[i], found, found ? VariantText(items[i].variableValue) : std::wstring()});
  }
  return hr;
}

void ReportLoadFailure(const Invocation& inv, Console& console, const std::wstring& path, HRESULT hr) {
  const std::string message = ExplainLoadFailure(path, hr);
  console.Err("calsvar: " + message);
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").String(ToUtf16(path)).Key("error").BeginObject();
    json.Key("code").Utf8String(HexCode(hr)).Key("message").Utf8String(message).EndObject().EndObject();
    console.Out(json.text());
  }
}

int ForEachOpenedFile(const Invocation& inv, IOrvFileFormat* format, Console& console, const OpenedFileWork& work) {
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
    ComPtr<IOrvFileNavigator> file = OpenThroughPlugin(format, path, hr);
    if (!file) {
      ReportLoadFailure(inv, console, path, hr);
      exitCode = Worse(exitCode, kExitLoadFailed);
      continue;
    }
    exitCode = Worse(exitCode, work(path, std::move(file)));
  }
  console.Progress({});
  return exitCode;
}

}  // namespace calsvar
