// Runs a registry script against a registry, in register or unregister
// mode.
//
// Register, per key in script order: open it for reading and writing, else
// for reading only, else create it (a ForceRemove key is first deleted with
// its subtree, then created); set its default value and its named values;
// go on with its subkeys. When anything in a root block fails, the block is
// run again in unregister mode to take back what it wrote, and the failure
// is returned.
//
// Unregister, per key in script order: a key that cannot be opened is skipped
// with everything below it; its `val` values are deleted (a missing one is
// no error); its listed subkeys are handled; then, unless it is NoRemove, the
// key is deleted if it has no subkeys left. Keys that others added below a
// listed key therefore keep that key alive.
#pragma once

#include <string_view>

#include "com/registrar/registry_access.h"
#include "com/registrar/script_expansion.h"
#include "com/registrar/status.h"

namespace registrar {

enum class RunMode { kRegister, kUnregister };

// Expands the replacements, parses the whole script, then runs it.
Status RunRegistryScriptText(std::u16string_view text, const Replacements& replacements,
                             RegistryRoots& registry, RunMode mode);

}  // namespace registrar
