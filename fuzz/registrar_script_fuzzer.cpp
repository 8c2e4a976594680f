// The registrar with a fuzzed registry script: replacement, tokenizer and
// parser, then the runner against the in-memory registry. The first byte
// picks the registry the script meets (bit 0: CLSID refuses writing, bit 1:
// another class is registered already); the rest is the script's text
// (see FuzzInput::TextToEnd).
//
// Checked: every step gives one of its defined codes and leaves its output
// empty on failure; the tokenizer always advances and ends; a parsed script
// holds only valid key names, nested no deeper than the parser allows; a
// successful registration run again leaves the registry exactly as it was;
// unregistration succeeds and leaves no key that was not there before,
// except NoRemove keys and the keys above them.
#include <cstdint>
#include <set>
#include <string>
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "com/registrar/ascii_text.h"
#include "com/registrar/script_expansion.h"
#include "com/registrar/script_parser.h"
#include "com/registrar/script_runner.h"
#include "com/registrar/script_tokenizer.h"
#include "tests/support/in_memory_registry.h"

namespace {

using registrar::KeyNode;
using registrar::RegistryScript;
using registrar::Status;

constexpr std::size_t kMaxKeyNameLength = 255;
constexpr int kMaxDepth = 64;

const char16_t* RootPrefix(registrar::RootKey root) {
  switch (root) {
    case registrar::RootKey::kClassesRoot: return u"HKCR";
    case registrar::RootKey::kCurrentUser: return u"HKCU";
    case registrar::RootKey::kLocalMachine: return u"HKLM";
    case registrar::RootKey::kUsers: return u"HKU";
    case registrar::RootKey::kCurrentConfig: return u"HKCC";
  }
  return u"?";
}

std::u16string Lower(std::u16string_view text) {
  std::u16string out(text);
  for (char16_t& c : out) c = registrar::AsciiLower(c);
  return out;
}

// Checks the key tree; collects the lower-case paths that unregistration
// may leave behind: NoRemove keys and every key above one.
bool CheckKeys(const std::vector<KeyNode>& keys, const std::u16string& parent, int depth,
               std::set<std::u16string>& kept) {
  bool anyKept = false;
  for (const KeyNode& key : keys) {
    FUZZ_CHECK(depth <= kMaxDepth);
    FUZZ_CHECK(!key.name.empty() && key.name.size() <= kMaxKeyNameLength);
    FUZZ_CHECK(key.name.find(u'\\') == std::u16string::npos);
    FUZZ_CHECK(!(key.noRemove && key.forceRemove));
    const std::u16string path = parent + u"\\" + Lower(key.name);
    const bool below = CheckKeys(key.subkeys, path, depth + 1, kept);
    if (key.noRemove || below) {
      kept.insert(path);
      anyKept = true;
    }
  }
  return anyKept;
}

std::set<std::u16string> LowerKeyPaths(const registrar_test::InMemoryRegistry& registry) {
  std::set<std::u16string> paths;
  for (const std::u16string& path : registry.KeyPaths()) paths.insert(Lower(path));
  return paths;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  const std::uint8_t options = input.Byte();
  const std::u16string text = input.TextToEnd();

  // The replacements the DLL supplies, the module path with a quote.
  const std::u16string module = registrar::DoubleSingleQuotes(u"C:\\Program Files\\O'Brien\\mirotex.dll");
  const registrar::Replacements replacements = {{u"MODULE", module}, {u"Module_Raw", module}, {u"APPID", u""}};

  std::u16string expanded = u"not empty";
  const Status expandedStatus = registrar::ExpandReplacements(text, replacements, &expanded);
  FUZZ_CHECK(expandedStatus == registrar::kOk || expandedStatus == registrar::kSyntaxError);
  if (expandedStatus != registrar::kOk) {
    FUZZ_CHECK(expanded.empty());
    return 0;
  }
  // Without a "%" there is nothing to replace.
  if (text.find(u'%') == std::u16string::npos) FUZZ_CHECK(expanded == text);

  // The tokenizer consumes at least one character per token and ends.
  registrar::ScriptTokenizer tokenizer(expanded);
  std::size_t tokens = 0;
  bool tokensEnded = false;
  for (;;) {
    registrar::Token token;
    const Status s = tokenizer.Next(&token);
    FUZZ_CHECK(s == registrar::kOk || s == registrar::kSyntaxError);
    if (s != registrar::kOk) break;
    if (token.kind == registrar::TokenKind::kEnd) {
      tokensEnded = true;
      break;
    }
    FUZZ_CHECK(++tokens <= expanded.size());
  }

  RegistryScript script;
  script.blocks.resize(1);
  const Status parsed = registrar::ParseRegistryScript(expanded, &script);
  FUZZ_CHECK(parsed == registrar::kOk || parsed == registrar::kSyntaxError);
  if (parsed != registrar::kOk) {
    FUZZ_CHECK(script.blocks.empty());
    return 0;
  }
  // A parsed script tokenizes to its end.
  FUZZ_CHECK(tokensEnded);
  std::set<std::u16string> kept;
  for (const registrar::RootBlock& block : script.blocks) CheckKeys(block.keys, Lower(RootPrefix(block.root)), 1, kept);

  registrar_test::InMemoryRegistry registry;
  registry.AddKey(u"CLSID");
  if (options & 2) {
    registry.SetValue(u"CLSID\\{00000000-0000-0000-0000-000000000001}\\InprocServer32", u"", u"other.dll");
    registry.SetValue(u"Other.Class", u"", u"Other");
  }
  if (options & 1) registry.DenyWrite(u"CLSID");
  const std::set<std::u16string> initial = LowerKeyPaths(registry);

  const Status registered =
      registrar::RunRegistryScriptText(text, replacements, registry, registrar::RunMode::kRegister);
  FUZZ_CHECK(registered == registrar::kOk || registered == registrar::kAccessDenied ||
             registered == registrar::kNotFound);
  if (registered == registrar::kOk) {
    const std::string first = registry.Dump();
    FUZZ_CHECK(registrar::RunRegistryScriptText(text, replacements, registry, registrar::RunMode::kRegister) ==
               registrar::kOk);
    FUZZ_CHECK(registry.Dump() == first);
  }

  FUZZ_CHECK(registrar::RunRegistryScriptText(text, replacements, registry, registrar::RunMode::kUnregister) ==
             registrar::kOk);
  for (const std::u16string& path : LowerKeyPaths(registry)) {
    FUZZ_CHECK(initial.count(path) != 0 || kept.count(path) != 0);
  }
  return 0;
}
