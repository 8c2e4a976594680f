// The sub-tag layout of one record as the tag configuration file describes
// it: a list of names and a parallel list of position ranges.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cals/tag_model.h"

namespace cals {

// One entry of "Tagpositions": first, a minus sign, last. Whatever cannot
// be read stays -1.
struct PositionRange {
  std::int32_t first = -1;
  std::int32_t last = -1;
};
PositionRange ParsePositionRange(std::u16string_view entry);

// Walks the ";"-separated names and ranges in step until either list runs
// out (a final ";" is optional). Empty when a range is malformed: first
// after last, nothing readable, or last beyond `maxLast`. Names are
// lower-cased but not trimmed.
std::optional<std::vector<SubTag>> ParseSubTagLayout(std::u16string_view names,
                                                     std::u16string_view positions,
                                                     std::int32_t maxLast);

}  // namespace cals
