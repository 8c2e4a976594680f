// The values a module's registry script writes when it registers, read with
// the DLL's own parser and the DLL's own replacements.
#pragma once

#include <string>
#include <string_view>

#include "tools/msi_registry/registry_entry.h"

namespace msi_registry {

// Appends the values of `script` (the 8-bit text of a .rgs file) to
// `entries`. False, with the reason in `error`, for a script the DLL could
// not run or whose effect the package cannot write: non-ASCII text (the DLL
// reads it in the machine's code page), a key that would stay empty, a root
// that Windows Installer has no name for.
bool AppendScriptEntries(std::string_view script, RegistryEntries* entries, std::string* error);

}  // namespace msi_registry
