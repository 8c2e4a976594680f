#include "tools/calsvar/doctor/expected_registration.h"

#include "com/registrar/script_expansion.h"
#include "com/registrar/script_parser.h"

namespace calsvar {
namespace {

using registrar::KeyNode;

const KeyNode* Subkey(const KeyNode& key, std::u16string_view name) {
  for (const KeyNode& sub : key.subkeys) {
    if (sub.name == name) return &sub;
  }
  return nullptr;
}

std::u16string DefaultOf(const KeyNode* key) {
  return key != nullptr && key->defaultValue ? *key->defaultValue : std::u16string();
}

std::u16string NamedValueOf(const KeyNode* key, std::u16string_view name) {
  if (key == nullptr) return {};
  for (const registrar::NamedValue& value : key->values) {
    if (value.name == name) return value.text;
  }
  return {};
}

}  // namespace

std::optional<ExpectedClass> ClassOfScript(std::span<const unsigned char> script) {
  // The scripts are ASCII; the DLL widens them with the ANSI code page,
  // which leaves ASCII as it is.
  const std::u16string text(script.begin(), script.end());
  std::u16string expanded;
  registrar::RegistryScript parsed;
  if (registrar::Failed(registrar::ExpandReplacements(text, {{u"MODULE", u"mirotex.dll"}}, &expanded)) ||
      registrar::Failed(registrar::ParseRegistryScript(expanded, &parsed))) {
    return std::nullopt;
  }
  for (const registrar::RootBlock& block : parsed.blocks) {
    if (block.root != registrar::RootKey::kClassesRoot) continue;
    for (const KeyNode& top : block.keys) {
      if (top.name != u"CLSID" || top.subkeys.size() != 1) continue;
      const KeyNode& key = top.subkeys.front();
      ExpectedClass expected;
      expected.clsid = key.name;
      expected.progId = DefaultOf(Subkey(key, u"ProgID"));
      expected.versionIndependentProgId = DefaultOf(Subkey(key, u"VersionIndependentProgID"));
      expected.threadingModel = NamedValueOf(Subkey(key, u"InprocServer32"), u"ThreadingModel");
      expected.typeLibrary = DefaultOf(Subkey(key, u"TypeLib"));
      const std::size_t dot = expected.versionIndependentProgId.rfind(u'.');
      expected.name = expected.versionIndependentProgId.substr(dot == std::u16string::npos ? 0 : dot + 1);
      if (expected.progId.empty() || expected.name.empty() || expected.threadingModel.empty() ||
          expected.typeLibrary.empty()) {
        return std::nullopt;
      }
      return expected;
    }
  }
  return std::nullopt;
}

std::vector<ExpectedClass> ExpectedClasses() {
  std::vector<ExpectedClass> classes;
  for (const std::span<const unsigned char> script : embedded::kRegistryScripts) {
    if (auto expected = ClassOfScript(script)) classes.push_back(std::move(*expected));
  }
  return classes;
}

}  // namespace calsvar
