// Reads one JSON text (RFC 8259) such as a line that "calsvar get --json"
// writes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

struct JsonMember;

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  std::u16string text;  // a string's characters, or a number as written
  std::vector<JsonValue> items;
  std::vector<JsonMember> members;  // in order

  // The first member of that name, or null.
  const JsonValue* Member(std::u16string_view name) const;
};

struct JsonMember {
  std::u16string name;
  JsonValue value;
};

// Empty with `error` set ("character N: ...") when the text is not one
// JSON value with nothing but white space around it. Nesting deeper than
// 64 levels is refused rather than followed.
std::optional<JsonValue> ParseJson(std::u16string_view text, std::string& error);

}  // namespace calsvar
