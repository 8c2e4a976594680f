// calsvar: shows from a shell what the host sees of CALS files through the
// plug-in, and what a write does to a header.
#include <windows.h>
#include <objbase.h>

#include <exception>
#include <new>

#include "tools/calsvar/cli/command_line.h"
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/output/console.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/plugin/plugin_connection.h"
#include "tools/calsvar/output/wide_text.h"

namespace {

using namespace calsvar;

// COM for the lifetime of the object; the host's threads are
// single-threaded apartments.
class ComApartment {
 public:
  ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComApartment() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  HRESULT result_;
};

int Run(const Invocation& inv, Console& console) {
  ComApartment com;
  switch (inv.command) {
    case Command::kHelp:
      console.Out(UsageText(GetACP()));
      return kExitOk;
    case Command::kCheckConfig:
      return RunCheckConfig(inv, console);
    case Command::kCheck:
      return RunCheck(inv, console);
    case Command::kRegister:
    case Command::kUnregister:
      return RunRegistration(inv, console);
    case Command::kVersion:
      return RunVersion(inv, console);
    case Command::kDoctor:
      return RunDoctor(inv, console);
    case Command::kInfo:
    case Command::kGet:
    case Command::kSet:
      break;
  }
  std::string error;
  const std::optional<std::wstring> dll = inv.dll ? std::optional(ToWide(*inv.dll)) : std::nullopt;
  auto plugin = PluginConnection::Connect(dll, error);
  if (!plugin) {
    console.Err("calsvar: " + error);
    return kExitLoadFailed;
  }
  if (inv.command == Command::kInfo) return RunInfo(inv, plugin->format(), console);
  if (inv.command == Command::kGet) return RunGet(inv, plugin->format(), console);
  if (inv.fromTable) return RunSetFrom(inv, *plugin, console);
  return RunSet(inv, *plugin, console);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Console console;
  std::vector<std::u16string> args;
  for (int i = 1; i < argc; ++i) args.push_back(ToUtf16(argv[i]));
  if (args.empty()) {
    console.Err(UsageText(GetACP()));
    return kExitUsage;
  }
  const ParsedCommandLine parsed = ParseCommandLine(args);
  if (!parsed.invocation) {
    console.Err("calsvar: " + parsed.error);
    console.Err(kSeeHelp);
    return kExitUsage;
  }
  try {
    return Run(*parsed.invocation, console);
  } catch (const std::bad_alloc&) {
    console.Err("calsvar: out of memory");
  } catch (const std::exception& error) {
    console.Err(std::string("calsvar: ") + error.what());
  }
  return kExitLoadFailed;
}
