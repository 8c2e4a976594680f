#include "cals/record_fields.h"

#include <algorithm>
#include <string_view>

#include "cals/text_rules.h"

namespace cals {

std::optional<RecordFields> ReadRecordFields(std::span<const unsigned char, kRecordSize> record,
                                             const TextCodec& codec) {
  const auto end = std::find(record.begin(), record.end(), static_cast<unsigned char>(0));
  const std::string_view bytes(reinterpret_cast<const char*>(record.data()),
                               static_cast<std::size_t>(end - record.begin()));
  const std::u16string text = codec.Decode(bytes);
  const std::size_t colon = text.find(u':');
  if (colon == std::u16string::npos) return std::nullopt;
  const std::u16string_view view(text);
  return RecordFields{std::u16string(Trim(view.substr(0, colon))),
                      std::u16string(Trim(view.substr(colon + 1)))};
}

}  // namespace cals
