// What the script runner needs from a registry: open keys, create and delete
// keys, set and delete string values. The Win32 registry implements it in
// the DLL; tests implement it in memory.
#pragma once

#include <memory>
#include <string_view>

#include "com/registrar/registry_script.h"
#include "com/registrar/status.h"

namespace registrar {

enum class KeyAccess { kRead, kReadWrite };

class RegistryKey {
 public:
  virtual ~RegistryKey() = default;

  // A missing subkey gives kNotFound.
  virtual Status OpenSubkey(std::u16string_view name, KeyAccess access,
                            std::unique_ptr<RegistryKey>* out) = 0;
  // Opens the subkey for reading and writing, creating it when missing.
  virtual Status CreateSubkey(std::u16string_view name, std::unique_ptr<RegistryKey>* out) = 0;
  // Deletes a subkey that has no subkeys of its own; its values go with it.
  virtual Status DeleteSubkey(std::u16string_view name) = 0;
  // Deletes a subkey with everything below it; a missing subkey gives kNotFound.
  virtual Status DeleteSubkeyTree(std::u16string_view name) = 0;
  virtual Status HasSubkeys(bool* result) = 0;
  // An empty name means the key's default value.
  virtual Status SetStringValue(std::u16string_view name, std::u16string_view text) = 0;
  // A missing value gives kNotFound.
  virtual Status DeleteValue(std::u16string_view name) = 0;
};

class RegistryRoots {
 public:
  virtual ~RegistryRoots() = default;
  virtual Status OpenRoot(RootKey root, std::unique_ptr<RegistryKey>* out) = 0;
};

}  // namespace registrar
