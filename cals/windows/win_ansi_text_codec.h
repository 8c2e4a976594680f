// Header bytes in the ANSI code pages: read with the calling thread's code
// page, written with the system's, both without conversion flags.
#pragma once

#include "cals/text_codec.h"

namespace cals {

class AnsiTextCodec final : public TextCodec {
 public:
  std::u16string Decode(std::string_view bytes) const override;
  // Cuts between whole characters only: never inside a double-byte
  // character and never between the two halves of a surrogate pair.
  std::string Encode(std::u16string_view text, std::size_t maxBytes) const override;
};

}  // namespace cals
