// The records of the tag model: a Tag per header record, cut into SubTags
// at fixed character positions by the tag configuration file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cals {

// One named sub-field of a tag's value. Positions are 1-based and
// inclusive; the configuration reader accepts first < 1, and value access
// then treats the positions before 1 as absent.
struct SubTag {
  std::u16string name;      // lower-cased, not trimmed
  std::int32_t first = -1;  // 1-based, inclusive
  std::int32_t last = -1;   // 1-based, inclusive

  friend bool operator==(const SubTag&, const SubTag&) = default;
};

// One header record. A value type: copying a tag copies its sub-tags.
struct Tag {
  std::u16string name;   // trimmed, lower-cased
  std::u16string value;  // as read (trimmed), later as written
  bool readOnly = false;
  bool writeBack = true;  // false only for the tags derived from rpelcnt
  // Value characters written back: the largest sub-tag end, or the whole
  // room of the record when there are no sub-tags.
  std::int32_t fieldWidth = 0;
  std::vector<SubTag> subTags;

  friend bool operator==(const Tag&, const Tag&) = default;
};

}  // namespace cals
