// GetTagValue and SetTagValue: single tag and sub-tag values by name. The
// list is searched from the front and the first match wins, so a sub-tag
// hides a later tag of the same name, and its own tag too.
#include "cals/sub_tag_field.h"
#include "cals/tag_finder.h"
#include "cals/text_rules.h"

namespace cals {

namespace {

// Most names differ in length: compared here, the search calls out only
// for the few of the query's length.
bool Names(std::u16string_view query, const std::u16string& lower) {
  return query.size() == lower.size() && LowersTo(query, lower);
}

}  // namespace

// Names are compared with the query lower-cased on the fly: the host asks
// for every variable of every file, and a lower-cased copy per query would
// cost more than the search.
bool TagFinder::GetTagValue(std::u16string_view name, std::u16string& text) const {
  for (const Tag& tag : tags_) {
    for (const SubTag& subTag : tag.subTags) {
      if (Names(name, subTag.name)) {
        text = ReadSubTagField(tag.value, subTag);
        return true;
      }
    }
    if (Names(name, tag.name)) {
      text = tag.value;
      return true;
    }
  }
  return false;
}

bool TagFinder::SetTagValue(const std::u16string& name, std::u16string text) {
  if (text.empty()) text = u"NONE";
  for (Tag& tag : tags_) {
    if (tag.subTags.empty()) {
      if (!LowersTo(name, tag.name)) continue;
      if (tag.readOnly) return false;
      tag.value = std::move(text);
      return true;
    }
    // The tag's own name is not looked at: a tag with sub-tags is written
    // only field by field.
    for (const SubTag& subTag : tag.subTags) {
      if (!LowersTo(name, subTag.name)) continue;
      if (tag.readOnly) return false;
      tag.value = WriteSubTagField(tag.value, subTag, text);
      return true;
    }
  }
  return false;
}

}  // namespace cals
