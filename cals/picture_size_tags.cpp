#include "cals/picture_size_tags.h"

#include <string>

#include "cals/decimal_scan.h"

namespace cals {
namespace {

std::u16string DecimalText(std::int32_t number) {
  const std::string digits = std::to_string(number);
  return std::u16string(digits.begin(), digits.end());
}

Tag DerivedTag(std::u16string name, std::u16string value, std::int32_t fieldWidth) {
  Tag tag;
  tag.name = std::move(name);
  tag.value = std::move(value);
  tag.readOnly = true;
  tag.writeBack = false;
  tag.fieldWidth = fieldWidth;
  return tag;
}

}  // namespace

std::vector<Tag> PictureSizeTags(const Tag& rpelcnt) {
  if (rpelcnt.name != u"rpelcnt" || rpelcnt.value.find(u',') == std::u16string::npos) return {};
  const ScannedPair size = ScanDecimalPair(rpelcnt.value, u',');
  std::vector<Tag> tags;
  tags.push_back(DerivedTag(u"width", DecimalText(size.first.value_or(0)), rpelcnt.fieldWidth));
  tags.push_back(DerivedTag(u"height", DecimalText(size.second.value_or(0)), rpelcnt.fieldWidth));
  tags.push_back(DerivedTag(u"colordepth", u"1", rpelcnt.fieldWidth));
  return tags;
}

}  // namespace cals
