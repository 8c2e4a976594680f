#include "com/registrar/script_parser.h"

#include <array>
#include <utility>

#include "com/registrar/ascii_text.h"
#include "com/registrar/script_tokenizer.h"

namespace registrar {

namespace {

// Deeper nesting than this is far beyond any class registration and would
// only serve to exhaust the stack.
constexpr int kMaxDepth = 64;
constexpr std::size_t kMaxKeyNameLength = 255;

struct RootName {
  std::u16string_view shortName;
  std::u16string_view longName;
  RootKey key;
};

constexpr std::array<RootName, 5> kRootNames{{
    {u"HKCR", u"HKEY_CLASSES_ROOT", RootKey::kClassesRoot},
    {u"HKCU", u"HKEY_CURRENT_USER", RootKey::kCurrentUser},
    {u"HKLM", u"HKEY_LOCAL_MACHINE", RootKey::kLocalMachine},
    {u"HKU", u"HKEY_USERS", RootKey::kUsers},
    {u"HKCC", u"HKEY_CURRENT_CONFIG", RootKey::kCurrentConfig},
}};

bool IsKeyword(const Token& token, std::u16string_view keyword) {
  return token.kind == TokenKind::kWord && EqualsIgnoringAsciiCase(token.text, keyword);
}

// Unquoted, these never name a key ("NoRemove ForceRemove A" is no key
// named ForceRemove, and "val" right below a root is a value where the
// registry's root keys take none); quoted, they may.
bool IsReservedWord(const Token& token) {
  return IsKeyword(token, u"NoRemove") || IsKeyword(token, u"ForceRemove") || IsKeyword(token, u"val");
}

bool IsValidKeyName(std::u16string_view name) {
  return !name.empty() && name.size() <= kMaxKeyNameLength &&
         name.find(u'\\') == std::u16string_view::npos;
}

class Parser {
 public:
  explicit Parser(std::u16string_view text) : tokenizer_(text) {}

  Status Parse(RegistryScript* script) {
    if (Status s = Advance(); Failed(s)) return s;
    while (current_.kind != TokenKind::kEnd) {
      RootBlock block;
      if (Status s = ParseBlock(&block); Failed(s)) return s;
      script->blocks.push_back(std::move(block));
    }
    return kOk;
  }

 private:
  Status Advance() { return tokenizer_.Next(&current_); }

  Status Expect(TokenKind kind) {
    if (current_.kind != kind) return kSyntaxError;
    return Advance();
  }

  Status ParseBlock(RootBlock* block) {
    if (current_.kind != TokenKind::kWord) return kSyntaxError;
    bool known = false;
    for (const RootName& root : kRootNames) {
      if (EqualsIgnoringAsciiCase(current_.text, root.shortName) ||
          EqualsIgnoringAsciiCase(current_.text, root.longName)) {
        block->root = root.key;
        known = true;
        break;
      }
    }
    if (!known) return kSyntaxError;
    if (Status s = Advance(); Failed(s)) return s;
    if (Status s = Expect(TokenKind::kOpenBrace); Failed(s)) return s;
    while (current_.kind != TokenKind::kCloseBrace) {
      KeyNode key;
      if (Status s = ParseKey(&key, 1); Failed(s)) return s;
      block->keys.push_back(std::move(key));
    }
    return Advance();
  }

  // "s" followed by the string.
  Status ParseValue(std::u16string* text) {
    if (!IsKeyword(current_, u"s")) return kSyntaxError;
    if (Status s = Advance(); Failed(s)) return s;
    if (!current_.IsWord()) return kSyntaxError;
    *text = std::move(current_.text);
    return Advance();
  }

  Status ParseNamedValue(KeyNode* owner) {
    if (Status s = Advance(); Failed(s)) return s;  // past "val"
    if (!current_.IsWord()) return kSyntaxError;
    NamedValue value;
    value.name = std::move(current_.text);
    if (Status s = Advance(); Failed(s)) return s;
    if (Status s = Expect(TokenKind::kEquals); Failed(s)) return s;
    if (Status s = ParseValue(&value.text); Failed(s)) return s;
    owner->values.push_back(std::move(value));
    return kOk;
  }

  Status ParseKey(KeyNode* key, int depth) {
    if (depth > kMaxDepth) return kSyntaxError;
    if (IsKeyword(current_, u"NoRemove")) {
      key->noRemove = true;
      if (Status s = Advance(); Failed(s)) return s;
    } else if (IsKeyword(current_, u"ForceRemove")) {
      key->forceRemove = true;
      if (Status s = Advance(); Failed(s)) return s;
    }
    if (IsReservedWord(current_) || !current_.IsWord() || !IsValidKeyName(current_.text)) {
      return kSyntaxError;
    }
    key->name = std::move(current_.text);
    if (Status s = Advance(); Failed(s)) return s;
    if (current_.kind == TokenKind::kEquals) {
      if (Status s = Advance(); Failed(s)) return s;
      std::u16string text;
      if (Status s = ParseValue(&text); Failed(s)) return s;
      key->defaultValue = std::move(text);
    }
    if (current_.kind != TokenKind::kOpenBrace) return kOk;
    if (Status s = Advance(); Failed(s)) return s;
    while (current_.kind != TokenKind::kCloseBrace) {
      if (IsKeyword(current_, u"val")) {
        if (Status s = ParseNamedValue(key); Failed(s)) return s;
        continue;
      }
      KeyNode child;
      if (Status s = ParseKey(&child, depth + 1); Failed(s)) return s;
      key->subkeys.push_back(std::move(child));
    }
    return Advance();
  }

  ScriptTokenizer tokenizer_;
  Token current_;
};

}  // namespace

Status ParseRegistryScript(std::u16string_view text, RegistryScript* script) {
  script->blocks.clear();
  RegistryScript parsed;
  if (Status s = Parser(text).Parse(&parsed); Failed(s)) return s;
  *script = std::move(parsed);
  return kOk;
}

}  // namespace registrar
