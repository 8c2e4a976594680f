#include "tools/calsvar/header_plausibility.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "cals/header_layout.h"

namespace calsvar {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsNumber(std::string_view text) {
  text = Trimmed(text);
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool LowerEquals(std::string_view text, std::string_view lower) {
  return text.size() == lower.size() &&
         std::equal(text.begin(), text.end(), lower.begin(),
                    [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

bool IsPictureSizeRecord(std::string_view text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string_view::npos || !LowerEquals(Trimmed(text.substr(0, colon)), "rpelcnt")) return false;
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
