// AddRecord with a fuzzed configuration: whatever the texts of "Readonly",
// "Tagnames" and "Tagpositions" hold, an accepted tag keeps the invariants
// of the tag model, a refused one adds nothing, the position reader agrees
// with the C library's "%d-%d", and the tag's sub-tags can be read, written
// and formatted without leaving their bounds.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>

#include "cals/sub_tag_layout.h"
#include "cals/tag_finder.h"
#include "cals/text_rules.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/header_rig.h"

namespace {

// Answers every section with the fuzzed texts, cut like the platform cuts.
class FuzzedConfig final : public cals::TagConfig {
 public:
  int readOnly = 0;
  std::u16string names;
  std::u16string positions;

  int ReadInt(const std::u16string&, const std::u16string&, const std::u16string&, int) override { return readOnly; }
  std::u16string ReadString(const std::u16string&, const std::u16string&, const std::u16string& key,
                            const std::u16string&, std::size_t capacity) override {
    std::u16string text = key == u"Tagnames" ? names : positions;
    if (text.size() >= capacity) text.resize(capacity - 1);
    return text;
  }
};

std::size_t CountEntries(std::u16string_view list) {
  if (list.empty()) return 0;
  return static_cast<std::size_t>(std::count(list.begin(), list.end(), u';')) + (list.back() == u';' ? 0 : 1);
}

// sscanf is the reference wherever it is well defined: plain ASCII without
// zero characters and numbers that fit in 32 bits.
void CompareWithScanf(std::u16string_view entry) {
  std::string narrow;
  std::size_t digitRun = 0;
  for (const char16_t c : entry) {
    if (c == 0 || c > 0x7E) return;
    digitRun = (c >= u'0' && c <= u'9') ? digitRun + 1 : 0;
    if (digitRun > 9) return;
    narrow.push_back(static_cast<char>(c));
  }
  int first = -1;
  int last = -1;
  std::sscanf(narrow.c_str(), "%d-%d", &first, &last);
  const cals::PositionRange range = cals::ParsePositionRange(entry);
  FUZZ_CHECK(range.first == first);
  FUZZ_CHECK(range.last == last);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  testing_support::HeaderRig rig;
  FuzzedConfig config;
  rig.platform.config = &config;
  config.readOnly = input.Byte() % 3;
  const std::u16string name = input.TextUntilZero();
  const std::u16string value = input.TextUntilZero();
  config.names = input.TextUntilZero();
  config.positions = input.TextUntilZero();
  const std::u16string written = input.TextUntilZero();

  std::u16string_view rest = config.positions;
  while (!rest.empty()) {
    const std::size_t end = rest.find(u';');
    CompareWithScanf(rest.substr(0, end));
    rest.remove_prefix(end == rest.npos ? rest.size() : end + 1);
  }

  cals::TagFinder finder(rig.platform);
  FUZZ_CHECK(finder.BeginLoad(' '));
  if (!finder.AddRecord(name, value)) {
    FUZZ_CHECK(finder.tags().empty());
    return 0;
  }

  const cals::Tag& tag = finder.tags().front();
  FUZZ_CHECK(tag.name == cals::ToLower(name));
  FUZZ_CHECK(tag.value == value);
  FUZZ_CHECK(tag.readOnly == (config.readOnly == 1));
  const long long lastPosition = 126LL - static_cast<long long>(tag.name.size());
  FUZZ_CHECK(tag.subTags.size() <= std::min(CountEntries(config.names), CountEntries(config.positions)));
  std::int32_t widest = tag.subTags.empty() ? static_cast<std::int32_t>(std::max<long long>(lastPosition, INT_MIN)) : 0;
  for (const cals::SubTag& subTag : tag.subTags) {
    FUZZ_CHECK(subTag.first <= subTag.last);
    FUZZ_CHECK(!(subTag.first == -1 && subTag.last == -1));
    FUZZ_CHECK(subTag.last <= lastPosition);
    widest = std::max(widest, subTag.last);
  }
  FUZZ_CHECK(tag.fieldWidth == widest);
  const bool derived = tag.name == u"rpelcnt" && value.find(u',') != std::u16string::npos;
  FUZZ_CHECK(finder.tags().size() == (derived ? 4u : 1u));

  // Sub-tags may share a name; a write reaches the first of them, so the
  // value can grow to the end of the furthest one at most.
  const auto furthest = static_cast<std::size_t>(std::max(widest, 0));
  for (const cals::SubTag& subTag : tag.subTags) {
    std::u16string text;
    FUZZ_CHECK(finder.GetTagValue(subTag.name, text));
    FUZZ_CHECK(text.size() <= finder.tags().front().value.size());
    const std::size_t before = finder.tags().front().value.size();
    const bool accepted = finder.SetTagValue(subTag.name, written);
    FUZZ_CHECK(accepted != (config.readOnly == 1));
    FUZZ_CHECK(finder.tags().front().value.size() <= std::max(before, furthest));
  }

  cals::HeaderBlock block;
  finder.BuildHeaderBlock(block);
  FUZZ_CHECK(std::all_of(block.begin() + cals::kRecordSize, block.end(), [](unsigned char b) { return b == ' '; }));
  return 0;
}
