// A registry script after parsing: root blocks, each with a tree of keys.
// Keys keep the order in which the script lists them, because registration
// and unregistration visit them in that order.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace registrar {

enum class RootKey { kClassesRoot, kCurrentUser, kLocalMachine, kUsers, kCurrentConfig };

// A string value (the only value type the scripts use: REG_SZ).
struct NamedValue {
  std::u16string name;
  std::u16string text;
};

struct KeyNode {
  std::u16string name;
  bool noRemove = false;     // unregistration never deletes this key
  bool forceRemove = false;  // registration deletes the key's subtree first
  std::optional<std::u16string> defaultValue;
  std::vector<NamedValue> values;  // `val` lines: set, and deleted on unregistration
  std::vector<KeyNode> subkeys;
};

struct RootBlock {
  RootKey root = RootKey::kClassesRoot;
  std::vector<KeyNode> keys;
};

struct RegistryScript {
  std::vector<RootBlock> blocks;
};

}  // namespace registrar
