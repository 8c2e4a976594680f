// Parses the registrar's script grammar:
//
//   script  := block*
//   block   := root "{" entry* "}"          root: HKCR, HKCU, HKLM, HKU, HKCC
//                                           or their HKEY_... long names
//   entry   := "val" name "=" value
//            | ["NoRemove" | "ForceRemove"] name ["=" value] ["{" entry* "}"]
//   value   := "s" word                     a REG_SZ string
//
// Keywords are matched without regard to case and only as unquoted words, so
// a quoted 'val' is a key name. Key names must be non-empty, without a
// backslash and at most 255 characters.
#pragma once

#include <string_view>

#include "com/registrar/registry_script.h"
#include "com/registrar/status.h"

namespace registrar {

// The whole script is parsed before anything is run, so a malformed script
// changes nothing. On failure `script` is left empty.
Status ParseRegistryScript(std::u16string_view text, RegistryScript* script);

}  // namespace registrar
