// calsvar set: one SetVariables call as the host makes it, then Save, then
// the values as the saved header now gives them.
#include "tools/calsvar/commands.h"
#include "tools/calsvar/exit_codes.h"
#include "tools/calsvar/exposed_names.h"
#include "tools/calsvar/hresult_text.h"
#include "tools/calsvar/json_writer.h"
#include "tools/calsvar/opened_file.h"
#include "tools/calsvar/variable_items.h"
#include "tools/calsvar/wide_text.h"

namespace calsvar {
namespace {

struct WriteOutcome {
  std::vector<bool> accepted;
  HRESULT setResult = S_OK;
  HRESULT saveResult = S_OK;
};

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

WriteOutcome WriteAndSave(const Invocation& inv, IOrvFileNavigator* file) {
  WriteOutcome outcome;
  VariableItems items;
  for (const Assignment& assignment : inv.assignments) items.Add(ToWide(assignment.name), ValueOf(assignment));
  outcome.setResult = file->SetVariables(0, 0, 0, items.count(), items.data(), inv.dateStyle);
  for (std::size_t i = 0; i < inv.assignments.size(); ++i) {
    outcome.accepted.push_back(SUCCEEDED(outcome.setResult) && items[i].resultFlag == 1);
  }
  if (SUCCEEDED(outcome.setResult)) outcome.saveResult = file->Save();
  return outcome;
}

void ShowOutcome(const Invocation& inv, Console& console, const std::wstring& path, const WriteOutcome& outcome,
                 const std::vector<VariableValue>& saved) {
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").String(ToUtf16(path)).Key("saved").Bool(SUCCEEDED(outcome.saveResult));
    json.Key("variables").BeginArray();
    for (std::size_t i = 0; i < inv.assignments.size(); ++i) {
      json.BeginObject().Key("name").String(inv.assignments[i].name).Key("accepted").Bool(outcome.accepted[i]);
      json.Key("value");
      if (i < saved.size() && saved[i].found) {
        json.String(ToUtf16(saved[i].value));
      } else {
        json.Null();
      }
      json.EndObject();
    }
    json.EndArray().EndObject();
    console.Out(json.text());
  } else {
    for (std::size_t i = 0; i < inv.assignments.size(); ++i) {
      console.Out(Utf8(inv.assignments[i].name) + "\t" + (outcome.accepted[i] ? "accepted" : "refused"));
    }
  }
  for (std::size_t i = 0; i < inv.assignments.size(); ++i) {
    if (outcome.accepted[i]) continue;
    const std::string why = WhyWriteIsRefused(path, inv.assignments[i].name);
    console.Err("calsvar: " + Utf8(path) + ": \"" + Utf8(inv.assignments[i].name) + "\" was refused" +
                (why.empty() ? std::string() : ": " + why));
  }
}

}  // namespace

int RunSet(const Invocation& inv, IOrvFileFormat* format, Console& console) {
  return ForEachOpenedFile(inv, format, console, [&](const std::wstring& path, ComPtr<IOrvFileNavigator> file) {
    const WriteOutcome outcome = WriteAndSave(inv, file.get());
    file.Reset();  // done with it before the file is opened again below
    int exitCode = kExitOk;
    if (FAILED(outcome.setResult) || FAILED(outcome.saveResult)) {
      const HRESULT failed = FAILED(outcome.setResult) ? outcome.setResult : outcome.saveResult;
      console.Err("calsvar: " + Utf8(path) + ": the header could not be " +
                  (FAILED(outcome.setResult) ? "changed" : "saved") + " (" + HexCode(failed) + ": " +
                  DescribeHresult(failed) + ")");
      exitCode = kExitLoadFailed;
    }
    // Read back through a fresh open: what the file now holds.
    std::vector<VariableValue> saved;
    HRESULT hr = S_OK;
    if (const ComPtr<IOrvFileNavigator> reopened = OpenThroughPlugin(format, path, hr)) {
      std::vector<std::wstring> names;
      for (const Assignment& assignment : inv.assignments) names.push_back(ToWide(assignment.name));
      ReadVariables(reopened.get(), names, saved);
    }
    ShowOutcome(inv, console, path, outcome, saved);
    for (bool accepted : outcome.accepted) {
      if (!accepted) exitCode = Worse(exitCode, kExitRefused);
    }
    return exitCode;
  });
}

}  // namespace calsvar
