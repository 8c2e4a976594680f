// A double-byte code page in miniature, to check that multi-byte text never
// spills out of its record: ASCII is one byte, U+3040..U+30FF (kana) is the
// two bytes 0x82 and (character - 0x3000), anything else is "?".
#pragma once

#include "cals/text_codec.h"

namespace testing_support {

class FakeDoubleByteCodec final : public cals::TextCodec {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      if (byte < 0x80) {
        text.push_back(byte);
      } else if (byte == 0x82 && i + 1 < bytes.size() && static_cast<unsigned char>(bytes[i + 1]) >= 0x40) {
        text.push_back(static_cast<char16_t>(0x3000 + static_cast<unsigned char>(bytes[++i])));
      } else {
        text.push_back(u'?');
      }
    }
    return text;
  }

  std::string Encode(std::u16string_view text, std::size_t maxBytes) const override {
    std::string bytes;
    for (const char16_t c : text) {
      const bool wide = c >= 0x3040 && c <= 0x30FF;
      if (bytes.size() + (wide ? 2 : 1) > maxBytes) break;
      if (wide) {
        bytes.push_back(static_cast<char>(0x82));
        bytes.push_back(static_cast<char>(c - 0x3000));
      } else {
        bytes.push_back(c < 0x80 ? static_cast<char>(c) : '?');
      }
    }
    return bytes;
  }
};

}  // namespace testing_support
