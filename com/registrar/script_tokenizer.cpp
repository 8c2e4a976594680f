#include "com/registrar/script_tokenizer.h"

#include "com/registrar/ascii_text.h"

namespace registrar {

Status ScriptTokenizer::Next(Token* token) {
  token->text.clear();
  while (pos_ < text_.size() && IsScriptSpace(text_[pos_])) ++pos_;
  if (pos_ == text_.size()) {
    token->kind = TokenKind::kEnd;
    return kOk;
  }
  const char16_t first = text_[pos_];
  if (first == u'}' || first == u'=') {
    token->kind = first == u'}' ? TokenKind::kCloseBrace : TokenKind::kEquals;
    ++pos_;
    return kOk;
  }
  if (first == u'\'') {
    ++pos_;
    for (;;) {
      if (pos_ == text_.size()) return kSyntaxError;
      const char16_t c = text_[pos_++];
      if (c != u'\'') {
        token->text.push_back(c);
      } else if (pos_ < text_.size() && text_[pos_] == u'\'') {
        token->text.push_back(u'\'');
        ++pos_;
      } else {
        break;
      }
    }
    token->kind = TokenKind::kQuotedWord;
    return kOk;
  }
  const std::size_t start = pos_;
  while (pos_ < text_.size() && !IsScriptSpace(text_[pos_]) && text_[pos_] != u'=') ++pos_;
  token->text.assign(text_.substr(start, pos_ - start));
  token->kind = token->text == u"{" ? TokenKind::kOpenBrace : TokenKind::kWord;
  return kOk;
}

}  // namespace registrar
