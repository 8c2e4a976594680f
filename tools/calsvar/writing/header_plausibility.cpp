#include "tools/calsvar/writing/header_plausibility.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "cals/ascii_text.h"
#include "cals/header_layout.h"
#include "cals/utf8.h"

namespace calsvar {
namespace {

using cals::ascii::IsBlankOrLineBreak;

bool IsNumber(std::string_view text) { return cals::ascii::IsDigits(cals::ascii::Trim(text, IsBlankOrLineBreak)); }

bool IsPictureSizeRecord(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  if (!cals::ascii::LowerEquals(cals::ascii::Trim(text.substr(0, colon), IsBlankOrLineBreak), "rpelcnt")) return false;
  const std::string_view value = text.substr(colon + 1);
  const std::size_t comma = value.find(',');
  return comma != std::string_view::npos && IsNumber(value.substr(0, comma)) && IsNumber(value.substr(comma + 1));
}

constexpr char kNoPictureSize[] = "no record \"rpelcnt\" with two numbers (the picture's width and height)";

bool IsAllowedControl(unsigned code) { return code == '\r' || code == '\n' || code == '\t'; }

}  // namespace

std::string WhyNotCalsLooking(std::span<const unsigned char> header) {
  const std::size_t parsed = std::min(header.size(), cals::kWrittenSize);
  bool pictureSize = false;
  for (std::size_t start = 0; start < parsed; start += cals::kRecordSize) {
    const std::size_t end = std::min(parsed, start + cals::kRecordSize);
    const std::string_view record(reinterpret_cast<const char*>(header.data() + start), end - start);
    for (std::size_t i = 0; i < record.size(); ++i) {
      const auto byte = static_cast<unsigned char>(record[i]);
      if (byte >= 0x20 || IsAllowedControl(byte) || byte == 0) continue;
      char where[96];
      std::snprintf(where, sizeof where, "byte %zu is 0x%02X, a control character that header text never holds",
                    start + i, static_cast<unsigned>(byte));
      return where;
    }
    if (IsPictureSizeRecord(record.substr(0, record.find('\0')))) pictureSize = true;
  }
  if (!pictureSize) return kNoPictureSize;
  return {};
}

std::string WhyValuesNotCalsLooking(const std::optional<std::u16string>& pictureSize,
                                    const std::vector<std::pair<std::u16string, std::u16string>>& values) {
  for (const auto& [name, value] : values) {
    for (const char16_t c : value) {
      if (c >= 0x20 || IsAllowedControl(c)) continue;
      char code[8];
      std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(c));
      return "\"" + cals::ToUtf8(name) + "\" holds " + code + ", a control character that header text never holds";
    }
  }
  std::string ascii;
  for (const char16_t c : pictureSize.value_or(u"")) ascii.push_back(c < 0x80 ? static_cast<char>(c) : '?');
  const std::size_t comma = ascii.find(',');
  if (!pictureSize || comma == std::string::npos || !IsNumber(std::string_view(ascii).substr(0, comma)) ||
      !IsNumber(std::string_view(ascii).substr(comma + 1))) {
    return kNoPictureSize;
  }
  return {};
}

}  // namespace calsvar
