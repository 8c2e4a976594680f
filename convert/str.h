// The small text buffer that FormatDate writes into.
#pragma once

#include <array>
#include <span>
#include <string>

#include "convert/printf_format.h"

class Str {
 public:
  // Copies the text; a null pointer gives empty text.
  explicit Str(const char16_t* text = nullptr);
  virtual ~Str() = default;

  Str(const Str&) = default;
  Str& operator=(const Str&) = default;

  // Renders the printf-style format (%d with flags, width and precision, %s
  // for a UTF-16 text) and replaces the whole text with the result. The text
  // is left as it was when rendering fails (std::invalid_argument for a
  // format that does not match its arguments, std::bad_alloc).
  template <class... Args>
  void Format(const char16_t* format, const Args&... args) {
    const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
    FormatList(format, list);
  }
  void FormatList(const char16_t* format, std::span<const FormatArg> args);

  const std::u16string& text() const { return text_; }

 private:
  std::u16string text_;
};
