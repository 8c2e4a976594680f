// Replacement of %NAME% markers in a registry script. It runs over the whole
// text before tokenizing, so a replacement may land inside a quoted string;
// values destined for quoted strings must already have their single quotes
// doubled (as MODULE has).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "com/registrar/status.h"

namespace registrar {

struct Replacement {
  std::u16string name;  // matched without regard to ASCII case
  std::u16string value;
};

using Replacements = std::vector<Replacement>;

// "%%" gives "%"; "%NAME%" gives the value of NAME. An unknown name or a
// "%" without its closing partner is a syntax error, and `out` is left empty.
Status ExpandReplacements(std::u16string_view text, const Replacements& replacements,
                          std::u16string* out);

// Doubles every single quote, for a value that is put between quotes.
std::u16string DoubleSingleQuotes(std::u16string_view text);

// The replacements a module's scripts may use: MODULE and Module_Raw, the
// module's path (its quotes doubled here), and an empty APPID. The DLL's
// registration and the installer package's registry entries both expand
// the scripts with this one list.
Replacements ModuleReplacements(std::u16string_view modulePath);

}  // namespace registrar
