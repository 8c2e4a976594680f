#include "cals/sub_tag_layout.h"

#include "cals/decimal_scan.h"
#include "cals/text_rules.h"

namespace cals {
namespace {

// Cuts the next ";"-terminated entry off the front of `list`. A last entry
// without ";" counts as terminated.
std::optional<std::u16string_view> NextEntry(std::u16string_view& list) {
  if (list.empty()) return std::nullopt;
  const std::size_t end = list.find(u';');
  const std::u16string_view entry = list.substr(0, end);
  list.remove_prefix(end == std::u16string_view::npos ? list.size() : end + 1);
  return entry;
}

}  // namespace

PositionRange ParsePositionRange(std::u16string_view entry) {
  const ScannedPair scanned = ScanDecimalPair(entry, u'-');
  return PositionRange{scanned.first.value_or(-1), scanned.second.value_or(-1)};
}

std::optional<std::vector<SubTag>> ParseSubTagLayout(std::u16string_view names,
                                                     std::u16string_view positions,
                                                     std::int32_t maxLast) {
  std::vector<SubTag> subTags;
  for (;;) {
    const auto name = NextEntry(names);
    const auto range = NextEntry(positions);
    if (!name || !range) return subTags;
    const PositionRange r = ParsePositionRange(*range);
    if (r.first > r.last || (r.first == -1 && r.last == -1) || r.last > maxLast) {
      return std::nullopt;
    }
    subTags.push_back(SubTag{ToLower(*name), r.first, r.last});
  }
}

}  // namespace cals
