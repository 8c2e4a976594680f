// The plug-in's format object, obtained as the host obtains it (the
// registered ProgID "Mirotex.CalsFormat"), or straight from a DLL's
// DllGetClassObject without any registration.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "host_interfaces_h.h"
#include "com/com_ptr.h"
#include "tools/calsvar/plugin/unique_module.h"

namespace calsvar {

class PluginConnection {
 public:
  // Empty with `error` (UTF-8, for a person) set when the plug-in cannot
  // be reached. COM must be initialised on this thread.
  static std::optional<PluginConnection> Connect(const std::optional<std::wstring>& dll, std::string& error);

  IOrvFileFormat* format() const { return format_.get(); }

  // The version of the DLL that serves the format object (the one named,
  // or the registered one), or empty text when it cannot be told.
  std::string DllVersion() const;

  // The DLL that Connect without a DLL would load: the in-process server
  // registered for the ProgID. Empty with `error` (UTF-8) set when there is
  // none.
  static std::optional<std::wstring> RegisteredDll(std::string& error);

  // mirotex.dll beside calsvar.exe: the DLL of calsvar's own program
  // folder, whether or not it exists.
  static std::wstring DllBesideCalsvar();

 private:
  // The DLL must outlive every object it made: members go in reverse order.
  std::optional<std::wstring> dll_;  // named with --dll
  UniqueModule module_;
  ComPtr<IOrvFileFormat> format_;
};

}  // namespace calsvar
