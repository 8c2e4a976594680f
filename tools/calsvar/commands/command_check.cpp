// calsvar check: is each file a well-formed CALS Type 1 file? It reads the
// files itself with the portable core, not through the plug-in: it judges
// the file, not the configuration.
#include <windows.h>

#include <memory>

#include "cals/conformance/byte_source.h"
#include "cals/conformance/file_check.h"
#include "cals/windows/windows_platform.h"
#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/files/file_arguments.h"
#include "tools/calsvar/plugin/opened_file.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
namespace {

std::string WhyUnreadable(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "cannot be read: there is no such file";
  return "cannot be read: it is open for writing elsewhere, or access is denied";
}

}  // namespace

int RunCheck(const Invocation& inv, Console& console) {
  const FileArguments files = ExpandFileArguments(inv.files, ExtensionFilter(kFormatExtensions));
  if (files.files.empty()) return ReportNoCalsFiles(inv.files, kFormatExtensions, console);
  cals::FileOpener& opener = *cals::WindowsHeaderPlatform().files;
  CheckTally tally;
  int exitCode = kExitOk;
  for (std::size_t i = 0; i < files.files.size(); ++i) {
    const std::wstring& path = files.files[i];
    const std::u16string name = ToUtf16(path);
    console.ProgressStep(i, files.files.size(), Utf8(path));
    const std::unique_ptr<cals::OpenFile> file = opener.OpenForRead(name);
    if (!file) {
      const std::string reason = WhyUnreadable(path);
      console.Out(inv.json ? UnreadableJson(name, reason) : UnreadableLine(name, reason));
      tally.Count(Verdict::kErrors);
      exitCode = Worse(exitCode, kExitLoadFailed);
      continue;
    }
    cals::conformance::FileSource source(*file);
    const cals::conformance::FileReport report = cals::conformance::CheckFile(source);
    if (inv.json) {
      console.Out(CheckJson(name, report));
    } else {
      for (const std::string& line : CheckLines(name, report)) console.Out(line);
    }
    const Verdict verdict = VerdictOf(report);
    tally.Count(verdict);
    if (verdict == Verdict::kErrors) exitCode = Worse(exitCode, kExitRefused);
  }
  console.Progress({});
  console.Err(tally.Summary());
  return exitCode;
}

}  // namespace calsvar
