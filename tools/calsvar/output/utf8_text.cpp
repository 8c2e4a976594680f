#include "tools/calsvar/output/utf8_text.h"

#include <cstdint>

namespace calsvar {

std::u16string DecodeUtf8(std::string_view bytes, std::optional<std::size_t>* firstInvalid) {
  const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  std::u16string text;
  text.reserve(bytes.size());
  std::size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = byteAt(i);
    const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
    std::uint32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1Fu : extra == 2 ? lead & 0x0Fu : lead & 0x07u;
    bool valid = extra >= 0;
    for (int k = 1; valid && k <= extra; ++k) {
      const std::size_t at = i + static_cast<std::size_t>(k);
      if (at >= bytes.size() || (byteAt(at) >> 6) != 2) {
        valid = false;
      } else {
        code = (code << 6) | (byteAt(at) & 0x3Fu);
      }
    }
    // The shortest form only: a longer one could hide a quote or a comma.
    constexpr std::uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (valid && (code < kSmallest[extra] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))) valid = false;
    if (!valid) {
      if (firstInvalid != nullptr && !*firstInvalid) *firstInvalid = i;
      text.push_back(0xFFFD);
      ++i;
      continue;
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      text.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
      text.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    } else {
      text.push_back(static_cast<char16_t>(code));
    }
  }
  return text;
}

std::string_view WithoutUtf8Bom(std::string_view bytes) {
  return bytes.substr(0, 3) == "\xEF\xBB\xBF" ? bytes.substr(3) : bytes;
}

}  // namespace calsvar
