#include "tools/calsvar/output/json_writer.h"

#include <cstdio>

#include "cals/surrogates.h"
#include "cals/utf8.h"
#include "tools/calsvar/output/value_text.h"

namespace calsvar {
namespace {

void AppendEscape(std::string& out, unsigned unit) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", unit);
  out += buffer;
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    switch (c) {
      case u'"': out += "\\\""; continue;
      case u'\\': out += "\\\\"; continue;
      case u'\n': out += "\\n"; continue;
      case u'\r': out += "\\r"; continue;
      case u'\t': out += "\\t"; continue;
      case u'\b': out += "\\b"; continue;
      case u'\f': out += "\\f"; continue;
      default: break;
    }
    if (IsTerminalControl(c)) {
      // Valid JSON either way; escaped, a line of it cannot drive a terminal.
      AppendEscape(out, c);
    } else if (cals::IsSurrogatePairAt(text, i)) {
      cals::AppendUtf8(out, cals::CombineSurrogates(c, text[i + 1]));
      ++i;
    } else if (cals::IsHighSurrogate(c) || cals::IsLowSurrogate(c)) {
      // An unpaired surrogate has no UTF-8 form; the escape keeps it.
      AppendEscape(out, c);
    } else {
      cals::AppendUtf8(out, c);
    }
  }
  out += "\"";
  return out;
}

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!firstInScope_.empty()) {
    if (!firstInScope_.back()) out_ += ", ";
    firstInScope_.back() = false;
  }
}

JsonWriter& JsonWriter::Open(char bracket) {
  BeforeValue();
  out_ += bracket;
  firstInScope_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::Close(char bracket) {
  out_ += bracket;
  firstInScope_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view asciiKey) {
  BeforeValue();
  out_ += "\"";
  out_ += asciiKey;
  out_ += "\": ";
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::u16string_view text) { return Value(JsonString(text)); }

JsonWriter& JsonWriter::Utf8String(std::string_view utf8) {
  std::string escaped = "\"";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0u;
    if (c == '"') {
      escaped += "\\\"";
    } else if (c == '\\') {
      escaped += "\\\\";
    } else if (c < 0x20 || c == 0x7F) {
      AppendEscape(escaped, c);
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {  // U+0080 to U+009F
      AppendEscape(escaped, next);
      ++i;
    } else {
      escaped.push_back(utf8[i]);
    }
  }
  return Value(escaped + "\"");
}

JsonWriter& JsonWriter::Bool(bool value) { return Value(value ? "true" : "false"); }

JsonWriter& JsonWriter::Number(std::int64_t value) { return Value(std::to_string(value)); }

JsonWriter& JsonWriter::Null() { return Value("null"); }

JsonWriter& JsonWriter::Value(std::string_view json) {
  BeforeValue();
  out_ += json;
  return *this;
}

}  // namespace calsvar
