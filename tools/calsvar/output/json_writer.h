// Builds one line of JSON: UTF-8, with every string escaped so that any
// header text, also control characters and unpaired UTF-16 surrogates,
// comes out as valid JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calsvar {

// The quoted, escaped JSON string of a UTF-16 text.
std::string JsonString(std::u16string_view text);

class JsonWriter {
 public:
  JsonWriter& BeginObject() { return Open('{'); }
  JsonWriter& EndObject() { return Close('}'); }
  JsonWriter& BeginArray() { return Open('['); }
  JsonWriter& EndArray() { return Close(']'); }
  JsonWriter& Key(std::string_view asciiKey);
  JsonWriter& String(std::u16string_view text);
  JsonWriter& Utf8String(std::string_view utf8);  // for texts already in UTF-8
  JsonWriter& Bool(bool value);
  JsonWriter& Number(std::int64_t value);
  JsonWriter& Null();

  const std::string& text() const { return out_; }

 private:
  void BeforeValue();
  JsonWriter& Open(char bracket);
  JsonWriter& Close(char bracket);
  JsonWriter& Value(std::string_view json);  // an already formed JSON value

  std::string out_;
  std::vector<bool> firstInScope_;
  bool afterKey_ = false;
};

}  // namespace calsvar
