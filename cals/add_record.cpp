// AddRecord: one header record becomes a tag, cut into sub-tags as the
// record's section of the tag configuration file says.
#include <algorithm>
#include <iterator>

#include "cals/picture_size_tags.h"
#include "cals/sub_tag_layout.h"
#include "cals/tag_finder.h"
#include "cals/text_rules.h"

namespace cals {
namespace {

// The keys of a record's section. Every record of every load asks for all
// three, and texts of this length do not fit a string's inline buffer:
// made once, they cost no allocation per question.
struct SectionKeys {
  const std::u16string readOnly = u"Readonly";
  const std::u16string tagNames = u"Tagnames";
  const std::u16string tagPositions = u"Tagpositions";
  const std::u16string none;
};

const SectionKeys& Keys() {
  static const SectionKeys keys;
  return keys;
}

}  // namespace

bool TagFinder::AddRecord(const std::u16string& name, const std::u16string& value) {
  Tag tag;
  tag.name = ToLower(name);
  tag.value = value;
  const std::int32_t lastPosition = LastValuePosition(tag.name.size());

  if (TagConfig* config = platform_.config) {
    const SectionKeys& keys = Keys();
    tag.readOnly = config->ReadInt(iniPath_, tag.name, keys.readOnly, 0) == 1;
    const std::u16string names = config->ReadString(iniPath_, tag.name, keys.tagNames, keys.none, kConfigTextCapacity);
    const std::u16string positions =
        config->ReadString(iniPath_, tag.name, keys.tagPositions, keys.none, kConfigTextCapacity);
    auto subTags = ParseSubTagLayout(names, positions, lastPosition);
    if (!subTags) return false;
    tag.subTags = std::move(*subTags);
  }

  if (tag.subTags.empty()) {
    tag.fieldWidth = lastPosition;
  } else {
    for (const SubTag& subTag : tag.subTags) tag.fieldWidth = std::max(tag.fieldWidth, subTag.last);
  }

  std::vector<Tag> derived = PictureSizeTags(tag);
  tags_.push_back(std::move(tag));
  std::move(derived.begin(), derived.end(), std::back_inserter(tags_));
  return true;
}

}  // namespace cals
