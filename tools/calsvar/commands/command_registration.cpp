// calsvar register / unregister: the plug-in DLL's own registration exports,
// as regsvr32 calls them.
#include "tools/calsvar/commands/commands.h"
#include "tools/calsvar/cli/exit_codes.h"
#include "tools/calsvar/output/hresult_text.h"
#include "tools/calsvar/output/shown_paths.h"
#include "tools/calsvar/plugin/unique_module.h"
#include "tools/calsvar/output/wide_text.h"

namespace calsvar {
int RunRegistration(const Invocation& inv, Console& console) {
  const bool install = inv.command == Command::kRegister;
  const std::wstring dll = inv.dll ? ToWide(*inv.dll) : PluginConnection::DllBesideCalsvar();
  // The path as typed, or the one found beside calsvar in the person's form.
  const std::string shown = inv.dll ? Utf8(*inv.dll) : ShownPath(dll);
  UniqueModule module(LoadLibraryExW(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  if (!module) {
    const HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
    console.Err("calsvar: " + shown + ": the DLL cannot be loaded (" + HexCode(hr) + ": " + DescribeHresult(hr) +
                ")");
    return kExitLoadFailed;
  }
  const char* exportName = install ? "DllRegisterServer" : "DllUnregisterServer";
  using Entry = HRESULT(STDAPICALLTYPE*)();
  const auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(module.get(), exportName)));
  if (entry == nullptr) {
    console.Err("calsvar: " + shown + ": the DLL has no " + exportName + " export");
    return kExitLoadFailed;
  }
  const HRESULT hr = entry();
  if (FAILED(hr)) {
    console.Err("calsvar: " + shown + ": " + exportName + " failed (" + HexCode(hr) + ": " + DescribeHresult(hr) +
                ")");
    return kExitRefused;
  }
  console.Out(std::string(install ? "registered\t" : "unregistered\t") + shown);
  return kExitOk;
}

}  // namespace calsvar
