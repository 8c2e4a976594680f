// calsvar doctor: the whole installation checked at once, as the host will
// meet it, each fault named with its fix.
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/doctor/doctor_checks.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {

int RunDoctor(const Invocation& inv, Console& console) {
  DoctorSetup setup;
  setup.classes = ExpectedClasses();
  setup.dllNamed = inv.dll.has_value();
  setup.intendedDll = inv.dll ? ToWide(*inv.dll) : PluginConnection::DllBesideCalsvar();

  DoctorReport report;
  CheckRegistration(setup, report);
  CheckTypeLibraryAndProxies(setup, report);
  CheckPluginAnswers(setup, report);
  CheckSharedLocation(report);
  CheckRoundTrip(report);
  CheckCodePages(report);

  if (inv.json) {
    console.Out(ReportJson(report));
  } else {
    for (const CheckResult& result : report.results()) console.Out(ResultLine(result));
    console.Out(SummaryLine(report));
  }
  return report.HasErrors() ? kExitRefused : kExitOk;
}

}  // namespace calsvar
