#include "cals/record_fields.h"

#include <algorithm>
#include <string_view>

#include "cals/text_rules.h"

namespace cals {

std::optional<RecordFields> ReadRecordFields(std::span<const unsigned char, kRecordSize> record,
                                             const TextCodec& codec) {
  const std::string_view whole(reinterpret_cast<const char*>(record.data()), record.size());
  std::string_view bytes = whole.substr(0, std::min(whole.find('\0'), whole.size()));
  // Records are mostly blank padding, which trimming would drop after
  // decoding anyway. A blank is one character by itself in every ANSI code
  // page once the byte before it is ASCII (no lead byte can pair with it),
  // so the padding is cut before decoding, and only then.
  const std::size_t last = bytes.find_last_not_of(' ');
  if (last == std::string_view::npos) {
    bytes = {};
  } else if (static_cast<unsigned char>(bytes[last]) < 0x80) {
    bytes = bytes.substr(0, last + 1);
  }
  const std::u16string text = codec.Decode(bytes);
  const std::size_t colon = text.find(u':');
  if (colon == std::u16string::npos) return std::nullopt;
  const std::u16string_view view(text);
  return RecordFields{std::u16string(Trim(view.substr(0, colon))),
                      std::u16string(Trim(view.substr(colon + 1)))};
}

}  // namespace cals
