// Windows-1252 ("Western European") as a fixed table: the header text
// codec of the portable build and of the native tests.
#pragma once

#include "cals/text_codec.h"

namespace cals {

// Every byte decodes to one character; the five bytes that the code page
// leaves unassigned decode to the C1 control of the same value, so any
// decoded text encodes back to the same bytes. A character outside the
// code page encodes as "?" (a surrogate pair as one "?").
class Cp1252Codec final : public TextCodec {
 public:
  std::u16string Decode(std::string_view bytes) const override;
  std::string Encode(std::u16string_view text, std::size_t maxBytes) const override;
};

}  // namespace cals
