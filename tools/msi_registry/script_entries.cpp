#include "tools/msi_registry/script_entries.h"

#include "com/registrar/registry_script.h"
#include "com/registrar/script_expansion.h"
#include "com/registrar/script_parser.h"

namespace msi_registry {

namespace {

using registrar::KeyNode;
using registrar::RootKey;

// The scripts are ASCII (checked before), so every unit fits a char.
std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

const char* RootName(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot: return "HKCR";
    case RootKey::kCurrentUser: return "HKCU";
    case RootKey::kLocalMachine: return "HKLM";
    case RootKey::kUsers: return "HKU";
    case RootKey::kCurrentConfig: return nullptr;
  }
  return nullptr;
}

// Registration opens or creates each key, then sets its default and `val`
// values. A key with subkeys comes into being with them; one with neither
// values nor subkeys would have to be created empty, which the package's
// registry entries do not express.
bool AppendKey(const KeyNode& node, const std::string& root, const std::string& parent, RegistryEntries* entries,
               std::string* error) {
  const std::string path = parent.empty() ? Narrow(node.name) : parent + "\\" + Narrow(node.name);
  if (node.defaultValue) entries->push_back({root, path, "", Narrow(*node.defaultValue)});
  for (const registrar::NamedValue& value : node.values) {
    entries->push_back({root, path, Narrow(value.name), Narrow(value.text)});
  }
  for (const KeyNode& subkey : node.subkeys) {
    if (!AppendKey(subkey, root, path, entries, error)) return false;
  }
  if (!node.noRemove && !node.defaultValue && node.values.empty() && node.subkeys.empty()) {
    *error = "key " + root + "\\" + path + " would be created empty; give it a value or mark it NoRemove";
    return false;
  }
  return true;
}

}  // namespace

bool AppendScriptEntries(std::string_view script, RegistryEntries* entries, std::string* error) {
  std::u16string text;
  for (char c : script) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      *error = "the script holds a byte that is not ASCII; the DLL reads it in the machine's code page";
      return false;
    }
    text.push_back(static_cast<char16_t>(c));
  }
  // The module's path as a placeholder character, through the DLL's own
  // replacement list.
  std::u16string expanded;
  if (registrar::Failed(registrar::ExpandReplacements(
          text, registrar::ModuleReplacements(std::u16string(1, kModulePath)), &expanded))) {
    *error = "the script names an unknown %replacement% or has an unpaired %";
    return false;
  }
  registrar::RegistryScript parsed;
  if (registrar::Failed(registrar::ParseRegistryScript(expanded, &parsed))) {
    *error = "the script does not parse";
    return false;
  }
  for (const registrar::RootBlock& block : parsed.blocks) {
    const char* root = RootName(block.root);
    if (root == nullptr) {
      *error = "HKCC has no counterpart in Windows Installer's registry table";
      return false;
    }
    for (const KeyNode& key : block.keys) {
      if (!AppendKey(key, root, "", entries, error)) return false;
    }
  }
  return true;
}

}  // namespace msi_registry
