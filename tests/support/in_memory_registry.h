// A registry in memory for the registrar's tests: case-insensitive key and
// value names like the real one, keys that refuse writing on demand, and a
// sorted dump for comparing whole states.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "com/registrar/registry_access.h"

namespace registrar_test {

class InMemoryRegistry : public registrar::RegistryRoots {
 public:
  struct Node {
    std::u16string name;
    std::map<std::u16string, std::shared_ptr<Node>> subkeys;  // by lower-case name
    std::map<std::u16string, std::pair<std::u16string, std::u16string>> values;  // lower -> (name, text)
    bool writeDenied = false;  // opening for writing and writing through a handle fail
    bool deleted = false;
  };

  InMemoryRegistry();

  registrar::Status OpenRoot(registrar::RootKey root, std::unique_ptr<registrar::RegistryKey>* out) override;

  // Paths are relative to HKCR unless they start with another root name,
  // e.g. "CLSID\\{...}\\InprocServer32" or "HKLM\\Software".
  void AddKey(const std::u16string& path);
  void SetValue(const std::u16string& path, const std::u16string& name, const std::u16string& text);
  void DenyWrite(const std::u16string& path);   // the key is created if missing

  bool HasKey(const std::u16string& path) const;
  std::optional<std::u16string> Value(const std::u16string& path, const std::u16string& name = u"") const;
  std::vector<std::u16string> SubkeyNames(const std::u16string& path) const;

  // Every key and value, one line each, in sorted order: "HKCR\\a\\b" and
  // "HKCR\\a\\b [name] = text" ("[]" for the default value). UTF-8.
  std::string Dump() const;

  // Every key below the roots, as "HKCR\\a\\b" with the names as stored,
  // in the same order as Dump. Unlike Dump, unambiguous whatever the names
  // hold: no key name contains a backslash.
  std::vector<std::u16string> KeyPaths() const;

 private:
  // The root named by the first part of the path (which is then removed),
  // else HKCR.
  std::shared_ptr<Node> RootOf(std::vector<std::u16string>* parts) const;
  std::shared_ptr<Node> Find(const std::u16string& path) const;
  std::shared_ptr<Node> FindOrCreate(const std::u16string& path);

  std::map<registrar::RootKey, std::shared_ptr<Node>> roots_;
};

}  // namespace registrar_test
