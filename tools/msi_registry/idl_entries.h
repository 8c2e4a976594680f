// What the platform writes for the module's interfaces and type library:
// the merged proxy/stub's registration (NdrDllRegisterProxy) and the type
// library's (RegisterTypeLib), both derived from the module's IDL file.
#pragma once

#include <string>
#include <string_view>

#include "tools/msi_registry/registry_entry.h"

namespace msi_registry {

// Appends the proxy/stub's and the type library's values to `entries`.
// False, with the reason in `error`, for an IDL file whose registration this
// reader cannot forecast: an interface without uuid or derived from an
// interface other than IUnknown or one before it in the file, a dual or
// automation interface (the type library's registration writes those with
// the automation marshaller), a library without uuid or helpstring.
bool AppendIdlEntries(std::string_view idl, RegistryEntries* entries, std::string* error);

}  // namespace msi_registry
