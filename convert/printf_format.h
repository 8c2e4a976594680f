// A small printf-style formatter for UTF-16 text. It knows only what the
// date renderer needs (%d, %i, %s and %% with flags, width and precision)
// and checks every directive against the argument it consumes, so a wrong
// format can never read past the arguments.
#pragma once

#include <concepts>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

// One argument of a format: an integer for %d and %i, a text for %s.
class FormatArg {
 public:
  FormatArg() = default;
  template <std::integral T>
    requires(!std::same_as<T, bool> && (std::signed_integral<T> || sizeof(T) < sizeof(long long)))
  FormatArg(T value) : isText_(false), integer_(static_cast<long long>(value)) {}
  // A null pointer is taken as empty text.
  FormatArg(const char16_t* text) : isText_(true), text_(text != nullptr ? text : u"") {}
  FormatArg(std::u16string_view text) : isText_(true), text_(text) {}

  bool isText() const { return isText_; }
  long long integer() const { return integer_; }
  std::u16string_view text() const { return text_; }

 private:
  bool isText_ = false;
  long long integer_ = 0;
  std::u16string_view text_;
};

// Renders `format` with `args`, as printf would. Throws std::invalid_argument
// for a directive it does not know, a missing argument or an argument of the
// wrong kind, and std::bad_alloc when memory runs out. Arguments left over
// are ignored, as printf ignores them.
std::u16string RenderPrintf(std::u16string_view format, std::span<const FormatArg> args);
