#include "com/registrar/script_runner.h"

#include <memory>
#include <string>
#include <vector>

#include "com/registrar/script_parser.h"

namespace registrar {

namespace {

Status OpenOrCreate(RegistryKey& parent, const KeyNode& node, std::unique_ptr<RegistryKey>* key) {
  if (node.forceRemove) {
    if (Status s = parent.DeleteSubkeyTree(node.name); Failed(s) && s != kNotFound) return s;
    return parent.CreateSubkey(node.name, key);
  }
  if (Succeeded(parent.OpenSubkey(node.name, KeyAccess::kReadWrite, key))) return kOk;
  if (Succeeded(parent.OpenSubkey(node.name, KeyAccess::kRead, key))) return kOk;
  return parent.CreateSubkey(node.name, key);
}

Status RegisterKeys(RegistryKey& parent, const std::vector<KeyNode>& nodes) {
  for (const KeyNode& node : nodes) {
    std::unique_ptr<RegistryKey> key;
    if (Status s = OpenOrCreate(parent, node, &key); Failed(s)) return s;
    if (node.defaultValue) {
      if (Status s = key->SetStringValue(u"", *node.defaultValue); Failed(s)) return s;
    }
    for (const NamedValue& value : node.values) {
      if (Status s = key->SetStringValue(value.name, value.text); Failed(s)) return s;
    }
    if (Status s = RegisterKeys(*key, node.subkeys); Failed(s)) return s;
  }
  return kOk;
}

Status UnregisterKeys(RegistryKey& parent, const std::vector<KeyNode>& nodes) {
  for (const KeyNode& node : nodes) {
    bool hasSubkeys = false;
    {
      std::unique_ptr<RegistryKey> key;
      if (Failed(parent.OpenSubkey(node.name, KeyAccess::kReadWrite, &key))) continue;
      for (const NamedValue& value : node.values) {
        if (Status s = key->DeleteValue(value.name); Failed(s) && s != kNotFound) return s;
      }
      if (Status s = UnregisterKeys(*key, node.subkeys); Failed(s)) return s;
      if (node.noRemove) continue;
      if (Status s = key->HasSubkeys(&hasSubkeys); Failed(s)) return s;
    }  // the key is closed before it is deleted
    if (hasSubkeys) continue;
    if (Status s = parent.DeleteSubkey(node.name); Failed(s) && s != kNotFound) return s;
  }
  return kOk;
}

Status RunBlock(const RootBlock& block, RegistryRoots& registry, RunMode mode) {
  std::unique_ptr<RegistryKey> root;
  if (Status s = registry.OpenRoot(block.root, &root); Failed(s)) return s;
  if (mode == RunMode::kUnregister) return UnregisterKeys(*root, block.keys);
  const Status s = RegisterKeys(*root, block.keys);
  if (Failed(s)) {
    // Takes back this block's writes; its own failures cannot improve on
    // the one being reported.
    UnregisterKeys(*root, block.keys);
  }
  return s;
}

Status RunRegistryScript(const RegistryScript& script, RegistryRoots& registry, RunMode mode) {
  for (const RootBlock& block : script.blocks) {
    if (Status s = RunBlock(block, registry, mode); Failed(s)) return s;
  }
  return kOk;
}

}  // namespace

Status RunRegistryScriptText(std::u16string_view text, const Replacements& replacements,
                             RegistryRoots& registry, RunMode mode) {
  std::u16string expanded;
  if (Status s = ExpandReplacements(text, replacements, &expanded); Failed(s)) return s;
  RegistryScript script;
  if (Status s = ParseRegistryScript(expanded, &script); Failed(s)) return s;
  return RunRegistryScript(script, registry, mode);
}

}  // namespace registrar
