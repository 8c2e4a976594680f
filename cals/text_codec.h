// Conversion between header bytes and text. Windows reads with the thread's
// ANSI code page and writes with the system ANSI code page; the portable
// build uses a fixed Windows-1252 table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cals {

class TextCodec {
 public:
  // Names a code page to DecodeIn and EncodeIn; a value that
  // ReadingCodePage gave, whose meaning is the codec's own.
  using CodePage = std::uint32_t;

  virtual ~TextCodec() = default;

  // Bytes as read from a record (already cut at the first zero byte).
  virtual std::u16string Decode(std::string_view bytes) const = 0;

  // The longest prefix of whole characters of `text` whose encoded form
  // fits in `maxBytes`; never ends in part of a multi-byte character.
  virtual std::string Encode(std::u16string_view text, std::size_t maxBytes) const = 0;

  // The code page that Decode reads with when called now, on this thread.
  // An opened file keeps it from its load and converts in it both ways, so
  // that records go back in the code page they were read in. A codec of one
  // fixed code page keeps these three as they are.
  virtual CodePage ReadingCodePage() const { return 0; }
  virtual std::u16string DecodeIn(CodePage /*codePage*/, std::string_view bytes) const { return Decode(bytes); }
  virtual std::string EncodeIn(CodePage /*codePage*/, std::u16string_view text, std::size_t maxBytes) const {
    return Encode(text, maxBytes);
  }
};

// A codec held to one code page: the platform's codec with the code page
// that an opened file read its header in. Borrows the codec.
class CodePageCodec final : public TextCodec {
 public:
  CodePageCodec(const TextCodec& codec, CodePage codePage) : codec_(codec), codePage_(codePage) {}

  std::u16string Decode(std::string_view bytes) const override { return codec_.DecodeIn(codePage_, bytes); }
  std::string Encode(std::u16string_view text, std::size_t maxBytes) const override {
    return codec_.EncodeIn(codePage_, text, maxBytes);
  }
  CodePage ReadingCodePage() const override { return codePage_; }

 private:
  const TextCodec& codec_;
  CodePage codePage_;
};

}  // namespace cals
