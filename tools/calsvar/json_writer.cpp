#include "tools/calsvar/json_writer.h"

#include <cstdio>

#include "cals/utf8.h"

namespace calsvar {
namespace {

void AppendEscape(std::string& out, unsigned unit) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "\\u%04x", unit);
  out += buffer;
}

bool IsHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

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
    if (c < 0x20 || c == 0x7F) {
      AppendEscape(out, c);
    } else if (IsHigh(c) && i + 1 < text.size() && IsLow(text[i + 1])) {
      cals::AppendUtf8(out, 0x10000u + ((char32_t{c} - 0xD800u) << 10) + (char32_t{text[i + 1]} - 0xDC00u));
      ++i;
    } else if (IsHigh(c) || IsLow(c)) {
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

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_ += "{";
  firstInScope_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_ += "}";
  firstInScope_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_ += "[";
  firstInScope_.push_back(true);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_ += "]";
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

JsonWriter& JsonWriter::String(std::u16string_view text) {
  BeforeValue();
  out_ += JsonString(text);
  return *this;
}

JsonWriter& JsonWriter::Utf8String(std::string_view utf8) {
  BeforeValue();
  std::string escaped = "\"";
  for (char ch : utf8) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '"') escaped += "\\\"";
    else if (c == '\\') escaped += "\\\\";
    else if (c < 0x20) AppendEscape(escaped, c);
    else escaped.push_back(ch);
  }
  out_ += escaped + "\"";
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  out_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ += "null";
  return *this;
}

}  // namespace calsvar
