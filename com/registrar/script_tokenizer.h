// Splits an expanded registry script into tokens. Words end at white space
// or "="; a word between single quotes may hold anything, with "''" standing
// for one quote. "{" is a brace only as a word of its own (so "{GUID}" is a
// name), while "}" and "=" are tokens wherever a token starts.
#pragma once

#include <string>
#include <string_view>

#include "com/registrar/status.h"

namespace registrar {

enum class TokenKind { kWord, kQuotedWord, kOpenBrace, kCloseBrace, kEquals, kEnd };

struct Token {
  TokenKind kind = TokenKind::kEnd;
  std::u16string text;  // the word, quotes removed and "''" undoubled

  bool IsWord() const { return kind == TokenKind::kWord || kind == TokenKind::kQuotedWord; }
};

class ScriptTokenizer {
 public:
  explicit ScriptTokenizer(std::u16string_view text) : text_(text) {}

  // The next token; kEnd at the end of the text. A quote that is never
  // closed is a syntax error.
  Status Next(Token* token);

 private:
  std::u16string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace registrar
