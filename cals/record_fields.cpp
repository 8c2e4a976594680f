#include "cals/record_fields.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "cals/text_rules.h"

namespace cals {
namespace {

// The length of `bytes` without its trailing blanks, looked at eight bytes
// at a time while they are all blanks: the padding is most of a record.
std::size_t LengthWithoutBlanks(std::string_view bytes) {
  constexpr char kEightBlanks[] = "        ";
  std::size_t end = bytes.size();
  while (end >= 8 && std::memcmp(bytes.data() + end - 8, kEightBlanks, 8) == 0) end -= 8;
  while (end > 0 && bytes[end - 1] == ' ') --end;
  return end;
}

}  // namespace

std::optional<RecordFields> ReadRecordFields(std::span<const unsigned char, kRecordSize> record,
                                             const TextCodec& codec) {
  const std::string_view whole(reinterpret_cast<const char*>(record.data()), record.size());
  std::string_view bytes = whole.substr(0, std::min(whole.find('\0'), whole.size()));
  // Records are mostly blank padding, which trimming would drop after
  // decoding anyway. A blank is one character by itself in every ANSI code
  // page once the byte before it is ASCII (no lead byte can pair with it),
  // so the padding is cut before decoding, and only then.
  const std::size_t used = LengthWithoutBlanks(bytes);
  if (used == 0 || static_cast<unsigned char>(bytes[used - 1]) < 0x80) bytes = bytes.substr(0, used);
  const std::u16string text = codec.Decode(bytes);
  const std::size_t colon = text.find(u':');
  if (colon == std::u16string::npos) return std::nullopt;
  const std::u16string_view view(text);
  return RecordFields{std::u16string(Trim(view.substr(0, colon))),
                      std::u16string(Trim(view.substr(colon + 1)))};
}

}  // namespace cals
