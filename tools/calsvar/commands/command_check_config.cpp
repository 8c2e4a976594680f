// calsvar check-config: the tag configuration as the plug-in will read it.
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/configuration/config_lint.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/configuration/installed_config.h"
#include "tools/calsvar/output/json_writer.h"
#include "tools/calsvar/output/shown_paths.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

const char* SeverityWord(Severity severity) { return severity == Severity::kFailsLoad ? "fails" : "warning"; }

void ShowReport(const Invocation& inv, Console& console, const std::string& shown, const LintReport& report) {
  if (inv.json) {
    JsonWriter json;
    json.BeginObject().Key("file").Utf8String(shown).Key("sections").Number(report.sectionsChecked);
    json.Key("failing").Number(report.FailingSections()).Key("warnings").Number(report.Warnings());
    json.Key("findings").BeginArray();
    for (const Finding& f : report.findings) {
      json.BeginObject().Key("line").Number(f.line).Key("section").String(f.section);
      json.Key("severity").Utf8String(SeverityWord(f.severity)).Key("entry").Utf8String(f.entry);
      json.Key("reason").Utf8String(f.reason).EndObject();
    }
    json.EndArray().EndObject();
    console.Out(json.text());
    return;
  }
  for (const Finding& f : report.findings) {
    std::string where = shown + ":" + std::to_string(f.line) + ":";
    if (!f.section.empty()) where += " [" + Utf8(f.section) + "]";
    console.Out(where + " " + SeverityWord(f.severity) + ": " + f.entry + ": " + f.reason);
  }
  console.Out(shown + ": " + std::to_string(report.sectionsChecked) + " section(s) checked, " +
              std::to_string(report.FailingSections()) + " would make loads fail, " +
              std::to_string(report.Warnings()) + " warning(s)");
}

}  // namespace

int RunCheckConfig(const Invocation& inv, Console& console) {
  const bool installed = !inv.configFile;
  const std::wstring path = installed ? InstalledConfigPath() : ToWide(*inv.configFile);
  if (path.empty()) {
    console.Err("calsvar: the installed tag configuration cannot be located: " + SharedLocationHelp() +
                " is missing or empty, so every CALS file fails to load (E_FAIL)");
    return kExitLoadFailed;
  }
  // The installed path in the person's form; a path given as typed.
  const std::string shown = installed ? ShownPath(path) : Utf8(*inv.configFile);
  std::string error;
  bool missing = false;
  const auto doc = ReadProfileFile(path, error, missing);
  if (!doc && installed && missing) {
    // Not an error to the plug-in: every record is then a plain variable.
    console.Err("calsvar: " + shown +
                " does not exist: every record will be an ordinary writable variable without sub-tags");
    ShowReport(inv, console, shown, LintReport{});
    return kExitOk;
  }
  if (!doc) {
    console.Err("calsvar: " + error);
    return kExitLoadFailed;
  }
  const LintReport report = LintTagConfiguration(*doc);
  ShowReport(inv, console, shown, report);
  return report.FailingSections() > 0 ? kExitRefused : kExitOk;
}

}  // namespace calsvar
