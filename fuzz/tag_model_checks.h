// Invariants of a loaded tag model, shared by the header targets: what
// every tag list that AddRecord builds must satisfy whatever the header and
// the tag configuration hold.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cals/cp1252_codec.h"
#include "cals/header_layout.h"
#include "cals/tag_config.h"
#include "cals/tag_finder.h"
#include "cals/text_rules.h"
#include "fuzz/fuzz_support.h"

namespace fuzzing {

// A fill character that the reader trims away again as padding.
inline bool IsBlankFill(unsigned char fill) {
  if (fill == 0) return true;
  const std::string_view byte(reinterpret_cast<const char*>(&fill), 1);
  return cals::IsWhiteSpace(cals::Cp1252Codec().Decode(byte)[0]);
}

// The tags that stand for records of the file, derived ones left out.
inline std::vector<cals::Tag> RecordTags(const cals::TagFinder& finder) {
  std::vector<cals::Tag> tags;
  for (const cals::Tag& tag : finder.tags()) {
    if (tag.writeBack) tags.push_back(tag);
  }
  return tags;
}

inline std::size_t CountListEntries(std::u16string_view list) {
  if (list.empty()) return 0;
  return static_cast<std::size_t>(std::count(list.begin(), list.end(), u';')) + (list.back() == u';' ? 0 : 1);
}

// `config` answers as the loader's configuration did; it is asked again
// for each record tag's Readonly, Tagnames and Tagpositions.
inline void CheckTagModel(const cals::TagFinder& finder, cals::TagConfig& config) {
  const auto& tags = finder.tags();
  std::size_t records = 0;
  for (std::size_t i = 0; i < tags.size(); ++i) {
    const cals::Tag& tag = tags[i];
    FUZZ_CHECK(cals::ToLower(tag.name) == tag.name);
    if (!tag.writeBack) continue;
    ++records;
    // A record tag: name and value as read, trimmed.
    FUZZ_CHECK(cals::Trim(tag.name).size() == tag.name.size());
    FUZZ_CHECK(cals::Trim(tag.value).size() == tag.value.size());
    FUZZ_CHECK(tag.readOnly == (config.ReadInt(finder.iniPath(), tag.name, u"Readonly", 0) == 1));
    const std::u16string names =
        config.ReadString(finder.iniPath(), tag.name, u"Tagnames", u"", cals::kConfigTextCapacity);
    const std::u16string positions =
        config.ReadString(finder.iniPath(), tag.name, u"Tagpositions", u"", cals::kConfigTextCapacity);
    FUZZ_CHECK(tag.subTags.size() <= std::min(CountListEntries(names), CountListEntries(positions)));

    const std::int32_t lastPosition = cals::LastValuePosition(tag.name.size());
    std::int32_t widest = 0;
    for (const cals::SubTag& subTag : tag.subTags) {
      FUZZ_CHECK(cals::ToLower(subTag.name) == subTag.name);
      FUZZ_CHECK(subTag.first <= subTag.last);
      FUZZ_CHECK(!(subTag.first == -1 && subTag.last == -1));
      FUZZ_CHECK(subTag.last <= lastPosition);
      widest = std::max(widest, subTag.last);
    }
    FUZZ_CHECK(tag.fieldWidth == (tag.subTags.empty() ? lastPosition : widest));

    // rpelcnt with a comma is followed by exactly its three derived tags,
    // read-only, never written back, as wide as rpelcnt's field.
    const bool derives = tag.name == u"rpelcnt" && tag.value.find(u',') != std::u16string::npos;
    const std::size_t following = derives ? 3 : 0;
    for (std::size_t k = 1; k <= following + 1; ++k) {
      const bool derived = i + k < tags.size() && !tags[i + k].writeBack;
      FUZZ_CHECK(derived == (k <= following));
      if (!derived) continue;
      FUZZ_CHECK(tags[i + k].readOnly);
      FUZZ_CHECK(tags[i + k].subTags.empty());
      FUZZ_CHECK(tags[i + k].fieldWidth == tag.fieldWidth);
    }
    if (derives) {
      FUZZ_CHECK(tags[i + 1].name == u"width" && tags[i + 2].name == u"height" &&
                 tags[i + 3].name == u"colordepth" && tags[i + 3].value == u"1");
    }
  }
  FUZZ_CHECK(records <= cals::kParsedRecords);
  // Every derived tag follows its rpelcnt (checked above), so none leads.
  FUZZ_CHECK(tags.empty() || tags.front().writeBack);
}

}  // namespace fuzzing
