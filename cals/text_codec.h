// Conversion between header bytes and text. Windows reads with the thread's
// ANSI code page and writes with the system ANSI code page; the portable
// build uses a fixed Windows-1252 table.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cals {

class TextCodec {
 public:
  virtual ~TextCodec() = default;

  // Bytes as read from a record (already cut at the first zero byte).
  virtual std::u16string Decode(std::string_view bytes) const = 0;

  // The longest prefix of whole characters of `text` whose encoded form
  // fits in `maxBytes`; never ends in part of a multi-byte character.
  virtual std::string Encode(std::u16string_view text, std::size_t maxBytes) const = 0;
};

}  // namespace cals
