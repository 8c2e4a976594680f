// The host's load of each file and nothing else: the registered format
// object (ProgID "Mirotex.CalsFormat", as the host creates it), then per
// file OpenFile, one GetVariables of the given names, and the release of
// the opened file. calsvar adds its own work per file (its own read of the
// header for its warnings, text output); this driver leaves that out, so
// that the plug-in's share can be held against the raw floor.
//
//   host_load_win [--dll PATH] FOLDER|@LIST NAME...
//
// --dll PATH takes the format object from that DLL's DllGetClassObject
// instead, without registration (to time another build side by side).
//
// Prints the number of files, the variables found and a checksum of their
// values, so that no work can be left out.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/corpus_files.h"
#include "com/com_ptr.h"
#include "convert/windows/ole_handles.h"
#include "host_interfaces_h.h"
#include "tests/support/win/test_environment.h"
#include "tools/calsvar/plugin/plugin_connection.h"
#include "tools/calsvar/plugin/variable_items.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::wstring dllPath;
  if (args.size() >= 2 && args[0] == L"--dll") {
    dllPath = args[1];
    args.erase(args.begin(), args.begin() + 2);
  }
  if (args.size() < 2) {
    std::fprintf(stderr, "usage: host_load_win [--dll PATH] FOLDER|@LIST NAME...\n");
    return 2;
  }
  try {
    const std::vector<std::wstring> names(args.begin() + 1, args.end());
    const testing_support::ComApartment apartment(COINIT_MULTITHREADED);
    if (FAILED(apartment.result())) throw std::runtime_error("COM did not start");
    // As calsvar connects: the registered format object, or the named DLL's.
    std::string error;
    const std::optional<calsvar::PluginConnection> plugin =
        calsvar::PluginConnection::Connect(dllPath.empty() ? std::nullopt : std::optional(dllPath), error);
    if (!plugin) throw std::runtime_error(error);
    IOrvFileFormat* const format = plugin->format();
    std::uint64_t files = 0;
    std::uint64_t found = 0;
    std::uint64_t checksum = 0;
    for (const auto& path : bench::CorpusFiles(args[0])) {
      const UniqueBstr bstrPath(SysAllocString(path.wstring().c_str()));
      ComPtr<IOrvFileNavigator> file;
      if (FAILED(format->OpenFile(bstrPath.get(), 0, file.put()))) throw std::runtime_error("OpenFile failed");
      calsvar::VariableItems items;
      for (const std::wstring& name : names) items.Add(name, VARIANT{});
      if (FAILED(file->GetVariables(0, 0, 0, items.count(), items.data()))) {
        throw std::runtime_error("GetVariables failed");
      }
      for (LONG i = 0; i < items.count(); ++i) {
        const VariableItem& item = items[static_cast<std::size_t>(i)];
        if (item.resultFlag != 1) continue;
        ++found;
        if (item.variableValue.vt == VT_BSTR && item.variableValue.bstrVal != nullptr) {
          checksum = checksum * 31 + SysStringLen(item.variableValue.bstrVal);
        }
      }
      ++files;
    }
    std::printf("%llu files, %llu variables, checksum %llu\n", static_cast<unsigned long long>(files),
                static_cast<unsigned long long>(found), static_cast<unsigned long long>(checksum));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "host_load_win: %s\n", error.what());
    return 1;
  }
  return 0;
}
