// calsvar --version: its own version, and the version and path of the
// plug-in DLL that the other commands would use, so that an administrator
// sees what is installed and registered. A script sees from the exit code
// (3) that no plug-in can be used.
#include <windows.h>

#include "base/version.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/plugin/dll_version.h"
#include "tools/calsvar/plugin/plugin_connection.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {

int RunVersion(const Invocation& inv, Console& console) {
  console.Out(std::string("calsvar ") + MIROTEX_VERSION_TEXT);
  std::string error;
  const std::optional<std::wstring> dll =
      inv.dll ? std::optional(ToWide(*inv.dll)) : PluginConnection::RegisteredDll(error);
  if (!dll) {
    console.Out("plug-in: none registered (" + error +
                "); register mirotex.dll with regsvr32, or name one with --dll PATH");
    return kExitLoadFailed;
  }
  const std::string source = inv.dll ? "given with --dll" : "registered";
  const std::optional<std::string> version = DllFileVersion(*dll, error);
  if (!version) {
    console.Out("plug-in, " + source + ": " + Utf8(*dll) + ": " + error);
    return kExitLoadFailed;
  }
  console.Out("plug-in " + *version + ", " + source + ": " + Utf8(*dll));
  return kExitOk;
}

}  // namespace calsvar
