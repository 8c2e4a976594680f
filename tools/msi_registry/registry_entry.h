// One registry value that registration writes: the root, the key's path
// below it, the value's name (empty for the key's default value) and its
// text. The module's path and folder are known only on the machine that
// installs, so the texts hold a placeholder character for each.
#pragma once

#include <string>
#include <vector>

namespace msi_registry {

inline constexpr char kModulePath = '\x01';
inline constexpr char kModuleFolder = '\x02';  // with its closing backslash

struct RegistryEntry {
  std::string root;  // HKCR, HKCU, HKLM or HKU
  std::string key;
  std::string name;
  std::string text;
};

using RegistryEntries = std::vector<RegistryEntry>;

}  // namespace msi_registry
