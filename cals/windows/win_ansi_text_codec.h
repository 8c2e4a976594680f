// Header bytes in the ANSI code pages, without conversion flags. Plain
// Decode reads with the calling thread's code page and plain Encode writes
// with the system's; an opened file names the code page it read in
// (ReadingCodePage) and converts in that one both ways.
#pragma once

#include "cals/text_codec.h"

namespace cals {

class AnsiTextCodec final : public TextCodec {
 public:
  std::u16string Decode(std::string_view bytes) const override;
  // Cuts between whole characters only: never inside a double-byte
  // character and never between the two halves of a surrogate pair.
  std::string Encode(std::u16string_view text, std::size_t maxBytes) const override;

  // The number of the calling thread's ANSI code page (that of its locale;
  // the system's when the locale has none).
  CodePage ReadingCodePage() const override;
  std::u16string DecodeIn(CodePage codePage, std::string_view bytes) const override;
  std::string EncodeIn(CodePage codePage, std::u16string_view text, std::size_t maxBytes) const override;
};

}  // namespace cals
