#include "tests/support/in_memory_registry.h"

#include <sstream>

#include "cals/utf8.h"
#include "com/registrar/ascii_text.h"

namespace registrar_test {

using cals::ToUtf8;
using registrar::KeyAccess;
using registrar::RegistryKey;
using registrar::RootKey;
using registrar::Status;

namespace {

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = registrar::AsciiLower(c);
  return out;
}

std::vector<std::u16string> SplitPath(const std::u16string& path) {
  std::vector<std::u16string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(u'\\', start);
    if (end == std::u16string::npos) end = path.size();
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

const char* RootName(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot: return "HKCR";
    case RootKey::kCurrentUser: return "HKCU";
    case RootKey::kLocalMachine: return "HKLM";
    case RootKey::kUsers: return "HKU";
    case RootKey::kCurrentConfig: return "HKCC";
  }
  return "?";
}

class MemoryKey : public RegistryKey {
 public:
  MemoryKey(std::shared_ptr<InMemoryRegistry::Node> node, bool writable)
      : node_(std::move(node)), writable_(writable) {}

  Status OpenSubkey(std::u16string_view name, KeyAccess access,
                    std::unique_ptr<RegistryKey>* out) override {
    if (node_->deleted) return registrar::kNotFound;
    auto it = node_->subkeys.find(Lower(name));
    if (it == node_->subkeys.end()) return registrar::kNotFound;
    const bool wantWrite = access == KeyAccess::kReadWrite;
    if (wantWrite && it->second->writeDenied) return registrar::kAccessDenied;
    *out = std::make_unique<MemoryKey>(it->second, wantWrite);
    return registrar::kOk;
  }

  Status CreateSubkey(std::u16string_view name, std::unique_ptr<RegistryKey>* out) override {
    if (node_->deleted) return registrar::kNotFound;
    auto it = node_->subkeys.find(Lower(name));
    if (it != node_->subkeys.end()) {
      if (it->second->writeDenied) return registrar::kAccessDenied;
      *out = std::make_unique<MemoryKey>(it->second, true);
      return registrar::kOk;
    }
    if (!writable_) return registrar::kAccessDenied;
    auto node = std::make_shared<InMemoryRegistry::Node>();
    node->name = std::u16string(name);
    node_->subkeys[Lower(name)] = node;
    *out = std::make_unique<MemoryKey>(node, true);
    return registrar::kOk;
  }

  Status DeleteSubkey(std::u16string_view name) override {
    auto it = node_->subkeys.find(Lower(name));
    if (it == node_->subkeys.end()) return registrar::kNotFound;
    if (!writable_ || it->second->writeDenied) return registrar::kAccessDenied;
    if (!it->second->subkeys.empty()) return registrar::kAccessDenied;
    it->second->deleted = true;
    node_->subkeys.erase(it);
    return registrar::kOk;
  }

  Status DeleteSubkeyTree(std::u16string_view name) override {
    auto it = node_->subkeys.find(Lower(name));
    if (it == node_->subkeys.end()) return registrar::kNotFound;
    if (!writable_ || it->second->writeDenied) return registrar::kAccessDenied;
    MarkDeleted(*it->second);
    node_->subkeys.erase(it);
    return registrar::kOk;
  }

  Status HasSubkeys(bool* result) override {
    *result = !node_->subkeys.empty();
    return registrar::kOk;
  }

  Status SetStringValue(std::u16string_view name, std::u16string_view text) override {
    if (node_->deleted) return registrar::kNotFound;
    if (!writable_ || node_->writeDenied) return registrar::kAccessDenied;
    node_->values[Lower(name)] = {std::u16string(name), std::u16string(text)};
    return registrar::kOk;
  }

  Status DeleteValue(std::u16string_view name) override {
    if (!writable_ || node_->writeDenied) return registrar::kAccessDenied;
    return node_->values.erase(Lower(name)) != 0 ? registrar::kOk : registrar::kNotFound;
  }

 private:
  static void MarkDeleted(InMemoryRegistry::Node& node) {
    node.deleted = true;
    for (auto& [unused, child] : node.subkeys) MarkDeleted(*child);
  }

  std::shared_ptr<InMemoryRegistry::Node> node_;
  bool writable_;
};

void DumpNode(const InMemoryRegistry::Node& node, const std::string& path, std::ostringstream& out) {
  out << path << "\n";
  for (const auto& [unused, value] : node.values) {
    out << path << " [" << ToUtf8(value.first) << "] = " << ToUtf8(value.second) << "\n";
  }
  for (const auto& [unused, child] : node.subkeys) DumpNode(*child, path + "\\" + ToUtf8(child->name), out);
}

void CollectPaths(const InMemoryRegistry::Node& node, const std::u16string& path, std::vector<std::u16string>& out) {
  out.push_back(path);
  for (const auto& [unused, child] : node.subkeys) CollectPaths(*child, path + u"\\" + child->name, out);
}

}  // namespace

InMemoryRegistry::InMemoryRegistry() {
  for (RootKey root : {RootKey::kClassesRoot, RootKey::kCurrentUser, RootKey::kLocalMachine,
                       RootKey::kUsers, RootKey::kCurrentConfig}) {
    roots_[root] = std::make_shared<Node>();
  }
}

Status InMemoryRegistry::OpenRoot(RootKey root, std::unique_ptr<RegistryKey>* out) {
  *out = std::make_unique<MemoryKey>(roots_.at(root), true);
  return registrar::kOk;
}

std::shared_ptr<InMemoryRegistry::Node> InMemoryRegistry::RootOf(std::vector<std::u16string>* parts) const {
  if (!parts->empty()) {
    for (RootKey candidate : {RootKey::kCurrentUser, RootKey::kLocalMachine, RootKey::kUsers,
                              RootKey::kCurrentConfig, RootKey::kClassesRoot}) {
      if (ToUtf8(parts->front()) == RootName(candidate)) {
        parts->erase(parts->begin());
        return roots_.at(candidate);
      }
    }
  }
  return roots_.at(RootKey::kClassesRoot);
}

std::shared_ptr<InMemoryRegistry::Node> InMemoryRegistry::Find(const std::u16string& path) const {
  std::vector<std::u16string> parts = SplitPath(path);
  std::shared_ptr<Node> node = RootOf(&parts);
  for (const std::u16string& part : parts) {
    auto it = node->subkeys.find(Lower(part));
    if (it == node->subkeys.end()) return nullptr;
    node = it->second;
  }
  return node;
}

std::shared_ptr<InMemoryRegistry::Node> InMemoryRegistry::FindOrCreate(const std::u16string& path) {
  std::vector<std::u16string> parts = SplitPath(path);
  std::shared_ptr<Node> node = RootOf(&parts);
  for (const std::u16string& part : parts) {
    auto& slot = node->subkeys[Lower(part)];
    if (!slot) {
      slot = std::make_shared<Node>();
      slot->name = part;
    }
    node = slot;
  }
  return node;
}

void InMemoryRegistry::AddKey(const std::u16string& path) { FindOrCreate(path); }

void InMemoryRegistry::SetValue(const std::u16string& path, const std::u16string& name,
                                const std::u16string& text) {
  FindOrCreate(path)->values[Lower(name)] = {name, text};
}

void InMemoryRegistry::DenyWrite(const std::u16string& path) { FindOrCreate(path)->writeDenied = true; }

bool InMemoryRegistry::HasKey(const std::u16string& path) const { return Find(path) != nullptr; }

std::optional<std::u16string> InMemoryRegistry::Value(const std::u16string& path,
                                                      const std::u16string& name) const {
  std::shared_ptr<Node> node = Find(path);
  if (!node) return std::nullopt;
  auto it = node->values.find(Lower(name));
  if (it == node->values.end()) return std::nullopt;
  return it->second.second;
}

std::vector<std::u16string> InMemoryRegistry::SubkeyNames(const std::u16string& path) const {
  std::vector<std::u16string> names;
  if (std::shared_ptr<Node> node = Find(path)) {
    for (const auto& [unused, child] : node->subkeys) names.push_back(child->name);
  }
  return names;
}

std::string InMemoryRegistry::Dump() const {
  std::ostringstream out;
  for (const auto& [root, node] : roots_) {
    const std::string rootName = RootName(root);
    for (const auto& [unused, child] : node->subkeys) DumpNode(*child, rootName + "\\" + ToUtf8(child->name), out);
    for (const auto& [unused, value] : node->values) {
      out << rootName << " [" << ToUtf8(value.first) << "] = " << ToUtf8(value.second) << "\n";
    }
  }
  return out.str();
}

std::vector<std::u16string> InMemoryRegistry::KeyPaths() const {
  std::vector<std::u16string> paths;
  for (const auto& [root, node] : roots_) {
    const std::string rootName = RootName(root);
    const std::u16string prefix(rootName.begin(), rootName.end());
    for (const auto& [unused, child] : node->subkeys) CollectPaths(*child, prefix + u"\\" + child->name, paths);
  }
  return paths;
}

}  // namespace registrar_test
