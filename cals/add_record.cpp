// AddRecord: one header record becomes a tag, cut into sub-tags as the
// record's section of the tag configuration file says.
#include <algorithm>
#include <iterator>
#include <utility>

#include "cals/picture_size_tags.h"
#include "cals/sub_tag_layout.h"
#include "cals/tag_finder.h"
#include "cals/text_rules.h"

namespace cals {

bool TagFinder::AddRecord(const std::u16string& name, const std::u16string& value) {
  const unsigned changes = reading_.changes();
  if (!AppendTag(ToLower(name), value)) return false;
  return reading_.changes() == changes || RebuildTags();
}

bool TagFinder::AppendTag(std::u16string name, std::u16string value) {
  Tag tag;
  tag.name = std::move(name);
  tag.value = std::move(value);
  const std::int32_t lastPosition = LastValuePosition(tag.name.size());

  const SectionAnswers& section = reading_.Section(tag.name);
  tag.readOnly = section.readOnly == 1;
  auto subTags = ParseSubTagLayout(section.tagNames, section.tagPositions, lastPosition);
  if (!subTags) return false;
  tag.subTags = std::move(*subTags);

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

// The configuration file changed while this load read it: every tag is
// made again from the file as it is now, so that one load never mixes two
// versions of it. A file that keeps changing ends the rounds (see
// ConfigReading).
bool TagFinder::RebuildTags() {
  unsigned changes = 0;
  do {
    changes = reading_.changes();
    std::vector<Tag> records;
    for (Tag& tag : tags_) {
      if (tag.writeBack) records.push_back(std::move(tag));
    }
    tags_.clear();
    for (Tag& record : records) {
      if (!AppendTag(std::move(record.name), std::move(record.value))) return false;
    }
  } while (reading_.changes() != changes);
  return true;
}

}  // namespace cals
