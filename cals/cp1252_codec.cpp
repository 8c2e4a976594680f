#include "cals/cp1252_codec.h"

#include <algorithm>
#include <array>

#include "cals/surrogates.h"

namespace cals {
namespace {

// Bytes 0x80 to 0x9F; the others are Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char EncodeChar(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
  const auto found = std::find(kHighControls.begin(), kHighControls.end(), c);
  if (found == kHighControls.end()) return '?';
  return static_cast<char>(0x80 + (found - kHighControls.begin()));
}

}  // namespace

std::u16string Cp1252Codec::Decode(std::string_view bytes) const {
  // Sized once and written in place: every record of every load passes
  // through here, most of it blanks.
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    text[i] = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : static_cast<char16_t>(byte);
  }
  return text;
}

std::string Cp1252Codec::Encode(std::u16string_view text, std::size_t maxBytes) const {
  std::string bytes;
  for (std::size_t i = 0; i < text.size() && bytes.size() < maxBytes; ++i) {
    bytes.push_back(EncodeChar(text[i]));
    if (IsSurrogatePairAt(text, i)) ++i;
  }
  return bytes;
}

}  // namespace cals
