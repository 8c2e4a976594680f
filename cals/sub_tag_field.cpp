#include "cals/sub_tag_field.h"

#include <algorithm>
#include <cstdint>

#include "cals/text_rules.h"

namespace cals {
namespace {

// 0-based [begin, end) of the range, positions before 1 dropped. end may lie
// beyond the value; begin > end never happens.
struct Span {
  std::size_t begin;
  std::size_t end;
};

Span RangeOf(const SubTag& subTag) {
  const std::int64_t first = std::max<std::int64_t>(subTag.first, 1);
  const std::int64_t last = std::max<std::int64_t>(subTag.last, first - 1);
  return Span{static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last)};
}

}  // namespace

std::u16string ReadSubTagField(std::u16string_view value, const SubTag& subTag) {
  const Span span = RangeOf(subTag);
  if (value.size() <= span.begin) return {};
  const std::size_t end = std::min(span.end, value.size());
  return std::u16string(TrimRight(value.substr(span.begin, end - span.begin)));
}

std::u16string WriteSubTagField(std::u16string_view value, const SubTag& subTag, std::u16string_view text) {
  const Span span = RangeOf(subTag);
  const std::size_t width = span.end - span.begin;

  std::u16string result(value.substr(0, std::min(span.begin, value.size())));
  result.resize(span.begin, u' ');
  result.append(text.substr(0, std::min(width, text.size())));
  result.resize(span.end, u' ');
  if (span.end < value.size()) result.append(value.substr(span.end));
  result.resize(TrimRight(result).size());
  return result;
}

}  // namespace cals
