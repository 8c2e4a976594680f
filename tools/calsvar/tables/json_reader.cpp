#include "tools/calsvar/tables/json_reader.h"

namespace calsvar {
namespace {

constexpr int kMaxDepth = 64;

class Parser {
 public:
  explicit Parser(std::u16string_view text) : text_(text) {}

  std::optional<JsonValue> Document(std::string& error) {
    JsonValue value;
    SkipSpace();
    if (Value(value, 0)) {
      SkipSpace();
      if (at_ == text_.size()) return value;
      error_ = "more text after the value";
    }
    error = "character " + std::to_string(at_ + 1) + ": " + error_;
    return std::nullopt;
  }

 private:
  bool Fail(const char* what) {
    error_ = what;
    return false;
  }
  void SkipSpace() {
    while (at_ < text_.size() && (text_[at_] == u' ' || text_[at_] == u'\t' || text_[at_] == u'\n' || text_[at_] == u'\r')) {
      ++at_;
    }
  }
  bool Literal(std::u16string_view word) {
    if (text_.substr(at_, word.size()) != word) return Fail("not a JSON value");
    at_ += word.size();
    return true;
  }

  bool Value(JsonValue& value, int depth) {
    if (depth > kMaxDepth) return Fail("nested too deeply");
    if (at_ >= text_.size()) return Fail("a value is missing");
    switch (text_[at_]) {
      case u'{': return Object(value, depth);
      case u'[': return Array(value, depth);
      case u'"': value.kind = JsonValue::Kind::kString; return String(value.text);
      case u't': value.kind = JsonValue::Kind::kBool; value.boolean = true; return Literal(u"true");
      case u'f': value.kind = JsonValue::Kind::kBool; return Literal(u"false");
      case u'n': value.kind = JsonValue::Kind::kNull; return Literal(u"null");
      default: value.kind = JsonValue::Kind::kNumber; return Number(value.text);
    }
  }

  bool Object(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::kObject;
    ++at_;
    SkipSpace();
    if (at_ < text_.size() && text_[at_] == u'}') return ++at_, true;
    for (;;) {
      SkipSpace();
      std::u16string name;
      if (at_ >= text_.size() || text_[at_] != u'"') return Fail("a member name in quotes is expected");
      if (!String(name)) return false;
      SkipSpace();
      if (at_ >= text_.size() || text_[at_] != u':') return Fail("\":\" is expected after a member name");
      ++at_;
      SkipSpace();
      JsonValue member;
      if (!Value(member, depth + 1)) return false;
      value.members.push_back(JsonMember{std::move(name), std::move(member)});
      SkipSpace();
      if (at_ < text_.size() && text_[at_] == u',') {
        ++at_;
        continue;
      }
      if (at_ < text_.size() && text_[at_] == u'}') return ++at_, true;
      return Fail("\",\" or \"}\" is expected");
    }
  }

  bool Array(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::kArray;
    ++at_;
    SkipSpace();
    if (at_ < text_.size() && text_[at_] == u']') return ++at_, true;
    for (;;) {
      SkipSpace();
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      value.items.push_back(std::move(item));
      SkipSpace();
      if (at_ < text_.size() && text_[at_] == u',') {
        ++at_;
        continue;
      }
      if (at_ < text_.size() && text_[at_] == u']') return ++at_, true;
      return Fail("\",\" or \"]\" is expected");
    }
  }

  bool Hex4(char16_t& unit) {
    if (at_ + 4 > text_.size()) return Fail("\\u needs four hex digits");
    unsigned value = 0;
    for (int k = 0; k < 4; ++k) {
      const char16_t c = text_[at_++];
      const int digit = c >= u'0' && c <= u'9' ? c - u'0'
                        : c >= u'a' && c <= u'f' ? c - u'a' + 10
                        : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                 : -1;
      if (digit < 0) return Fail("\\u needs four hex digits");
      value = value * 16 + static_cast<unsigned>(digit);
    }
    unit = static_cast<char16_t>(value);
    return true;
  }

  bool String(std::u16string& out) {
    ++at_;  // the opening quote
    for (;;) {
      if (at_ >= text_.size()) return Fail("a string is never closed");
      const char16_t c = text_[at_++];
      if (c == u'"') return true;
      if (c < 0x20) return Fail("a control character inside a string must be escaped");
      if (c != u'\\') {
        out += c;
        continue;
      }
      if (at_ >= text_.size()) return Fail("a string is never closed");
      const char16_t e = text_[at_++];
      switch (e) {
        case u'"': out += u'"'; break;
        case u'\\': out += u'\\'; break;
        case u'/': out += u'/'; break;
        case u'b': out += u'\b'; break;
        case u'f': out += u'\f'; break;
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'u': {
          // Escaped surrogates are kept unit by unit: a pair gives its
          // character, a lone half stays what it was written as.
          char16_t unit = 0;
          if (!Hex4(unit)) return false;
          out += unit;
          break;
        }
        default: return Fail("unknown escape in a string");
      }
    }
  }

  bool Number(std::u16string& out) {
    const std::size_t start = at_;
    const auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= u'0' && text_[at_] <= u'9') ++at_;
      return at_ > from;
    };
    if (at_ < text_.size() && text_[at_] == u'-') ++at_;
    if (!digits()) return Fail("not a JSON value");
    if (at_ < text_.size() && text_[at_] == u'.') {
      ++at_;
      if (!digits()) return Fail("a number needs digits after its point");
    }
    if (at_ < text_.size() && (text_[at_] == u'e' || text_[at_] == u'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == u'+' || text_[at_] == u'-')) ++at_;
      if (!digits()) return Fail("a number needs digits in its exponent");
    }
    out = std::u16string(text_.substr(start, at_ - start));
    return true;
  }

  std::u16string_view text_;
  std::size_t at_ = 0;
  std::string error_;
};

}  // namespace

const JsonValue* JsonValue::Member(std::u16string_view name) const {
  for (const JsonMember& member : members) {
    if (member.name == name) return &member.value;
  }
  return nullptr;
}

std::optional<JsonValue> ParseJson(std::u16string_view text, std::string& error) {
  return Parser(text).Document(error);
}

}  // namespace calsvar
