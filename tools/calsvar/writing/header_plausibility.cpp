#include "tools/calsvar/writing/header_plausibility.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "cals/ascii_text.h"
#include "cals/header_layout.h"

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

}  // namespace

std::string WhyNotCalsLooking(std::span<const unsigned char> header) {
  const std::size_t parsed = std::min(header.size(), cals::kWrittenSize);
  bool pictureSize = false;
  for (std::size_t start = 0; start < parsed; start += cals::kRecordSize) {
    const std::size_t end = std::min(parsed, start + cals::kRecordSize);
    const std::string_view record(reinterpret_cast<const char*>(header.data() + start), end - start);
    for (std::size_t i = 0; i < record.size(); ++i) {
      const auto byte = static_cast<unsigned char>(record[i]);
      if (byte >= 0x20 || byte == '\r' || byte == '\n' || byte == '\t' || byte == 0) continue;
      char where[96];
      std::snprintf(where, sizeof where, "byte %zu is 0x%02X, a control character that header text never holds",
                    start + i, static_cast<unsigned>(byte));
      return where;
    }
    if (IsPictureSizeRecord(record.substr(0, record.find('\0')))) pictureSize = true;
  }
  if (!pictureSize) return "no record \"rpelcnt\" with two numbers (the picture's width and height)";
  return {};
}

}  // namespace calsvar
