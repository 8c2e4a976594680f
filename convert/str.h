// The small text buffer that FormatDate writes into.
#pragma once

#include <string>

class Str {
 public:
  explicit Str(const char16_t* text = nullptr);
  virtual ~Str() = default;

  // Renders the printf-style format (%d with flags and width, %s for a
  // char16_t text) and replaces the whole text with the result.
  template <class... Args>
  void Format(const char16_t* format, const Args&... args);

  const std::u16string& text() const { return text_; }

 private:
  std::u16string text_;
};
