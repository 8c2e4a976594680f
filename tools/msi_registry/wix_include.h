// Registry entries as a WiX include: one RegistryValue element per value,
// to be included inside the component that installs the module.
#pragma once

#include <string>

#include "tools/msi_registry/registry_entry.h"

namespace msi_registry {

// `modulePath` and `moduleFolder` are Windows Installer formatted text that
// stands for the placeholders, e.g. "[#mirotex.dll]" and "[INSTALLFOLDER]".
// Everything else is written so that Windows Installer reads it literally.
std::string WixInclude(const RegistryEntries& entries, const std::string& modulePath,
                       const std::string& moduleFolder);

// Removes repeats of a value (two scripts may both write one); false, with
// the key and name in `error`, when two texts for one value differ.
bool MergeRepeats(RegistryEntries* entries, std::string* error);

}  // namespace msi_registry
