// calsvar set: the values of the command line written into each file named,
// exactly as asked or not at all (plugin_write.h).
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/commands/write_report.h"
#include "tools/calsvar/configuration/configuration_note.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/plugin/plugin_write.h"
#include "tools/calsvar/plugin/write_tally.h"
#include "tools/calsvar/output/value_text.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

// What the file gives for the variable now: the new value once saved,
// else the old one.
const std::optional<std::u16string>& ValueNow(const FileWriteOutcome& outcome, const VariableVerdict& v) {
  return outcome.status == WriteStatus::kSaved ? v.become : v.old;
}

// What a variable's line says: "accepted" only when the file was saved
// with it (or, in a dry run, would be).
const char* VariableWord(const FileWriteOutcome& outcome, const VariableVerdict* v) {
  if (v == nullptr || !v->reason.empty()) return "refused";
  const bool saved = outcome.status == WriteStatus::kSaved || outcome.status == WriteStatus::kUnchanged ||
                     outcome.status == WriteStatus::kWouldSave;
  return saved ? "accepted" : "not saved";
}

void ShowJson(const Invocation& inv, Console& console, const std::wstring& path, const FileWriteOutcome& outcome) {
  JsonWriter json;
  json.BeginObject().Key("file").String(ToUtf16(path)).Key("saved").Bool(outcome.status == WriteStatus::kSaved);
  if (!outcome.message.empty()) json.Key("reason").Utf8String(outcome.message);
  json.Key("variables").BeginArray();
  for (std::size_t i = 0; i < inv.assignments.size(); ++i) {
    json.BeginObject().Key("name").String(inv.assignments[i].name);
    const VariableVerdict* v = i < outcome.plan.variables.size() ? &outcome.plan.variables[i] : nullptr;
    json.Key("accepted").Bool(VariableWord(outcome, v) == std::string_view("accepted"));
    json.Key("value");
    if (v != nullptr && ValueNow(outcome, *v)) {
      json.String(*ValueNow(outcome, *v));
    } else {
      json.Null();
    }
    if (inv.dryRun && v != nullptr && v->reason.empty()) {
      json.Key("old");
      if (v->old) {
        json.String(*v->old);
      } else {
        json.Null();
      }
      json.Key("new").String(v->become.value_or(v->asked));
    }
    if (v != nullptr && !v->reason.empty()) json.Key("reason").Utf8String(v->reason);
    json.EndObject();
  }
  json.EndArray();
  AddSaveEffectsJson(json, outcome);
  json.EndObject();
  console.Out(json.text());
}

void ShowText(const Invocation& inv, Console& console, const FileWriteOutcome& outcome) {
  for (std::size_t i = 0; i < inv.assignments.size(); ++i) {
    const VariableVerdict* v = i < outcome.plan.variables.size() ? &outcome.plan.variables[i] : nullptr;
    const std::string name = EscapedForLine(inv.assignments[i].name);
    if (inv.dryRun && v != nullptr && !v->reason.empty()) {
      console.Out(name + "\trefused\t" + v->reason);
    } else if (inv.dryRun && v != nullptr) {
      console.Out(name + "\t" + EscapedForLine(v->old.value_or(u"")) + "\t" +
                  EscapedForLine(v->become.value_or(v->asked)));
    } else {
      console.Out(name + "\t" + VariableWord(outcome, v));
    }
  }
  ShowRecordLines(console, outcome);
}

void ShowReasons(Console& console, const std::wstring& path, const FileWriteOutcome& outcome) {
  const std::string file = "calsvar: " + Utf8(path) + ": ";
  for (const VariableVerdict& v : outcome.plan.variables) {
    if (!v.reason.empty()) console.Err(file + "\"" + EscapedForLine(v.name) + "\" refused: " + v.reason);
  }
  for (const std::string& effect : outcome.plan.sideEffects) console.Err(file + "refused: " + effect);
  ShowFindingsAdded(console, Utf8(path), outcome);
  switch (outcome.status) {
    case WriteStatus::kRefused:
      console.Err(file + (outcome.message.empty() ? "nothing was written" : outcome.message));
      break;
    case WriteStatus::kFailed:
      console.Err(file + (outcome.loaded && !outcome.written ? "not saved: " : "") + outcome.message);
      break;
    default:
      break;
  }
}

}  // namespace

int RunSet(const Invocation& inv, const PluginConnection& plugin, Console& console) {
  NoteMissingConfiguration(console);
  IOrvFileFormat* format = plugin.format();
  FileWriter writer(format, WriteSettingsFor(inv, plugin, console));
  WriteTally tally;
  bool folderOrSeveral = false;
  const int exitCode = ForEachCalsFile(inv, format, console, [&](const std::wstring& path) {
    const FileWriteOutcome outcome = writer.Write(path, inv.assignments);
    tally.Count(outcome);
    if (outcome.status == WriteStatus::kFailed && !outcome.loaded && FAILED(outcome.code)) {
      ReportLoadFailure(inv, console, path, outcome.code);
      return static_cast<int>(kExitLoadFailed);
    }
    if (inv.json) {
      ShowJson(inv, console, path, outcome);
    } else {
      ShowText(inv, console, outcome);
    }
    ShowReasons(console, path, outcome);
    switch (outcome.status) {
      case WriteStatus::kRefused: return static_cast<int>(kExitRefused);
      case WriteStatus::kFailed: return static_cast<int>(kExitLoadFailed);
      default: return static_cast<int>(kExitOk);
    }
  }, &folderOrSeveral);
  // Many files end as set --from ends: with how many were saved.
  if (folderOrSeveral) console.Err(tally.Summary(inv.dryRun));
  return exitCode;
}

}  // namespace calsvar
