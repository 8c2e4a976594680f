// Sequences of GetTagValue and SetTagValue on a fuzzed tag model, checked
// against a plain model of the rules (value padded with 128 spaces, spliced,
// right-trimmed), and header blocks built in between with a single-byte or
// a double-byte code page.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cals/tag_finder.h"
#include "cals/text_rules.h"
#include "fuzz/fuzz_support.h"
#include "tests/support/fake_double_byte_codec.h"
#include "tests/support/header_rig.h"

namespace {

// The rules as written, on a copy of the tags. Positions before 1 count as
// absent, as in the tag model.
struct ReferenceModel {
  std::vector<cals::Tag> tags;

  static std::pair<std::int64_t, std::int64_t> Range(const cals::SubTag& s) {
    const std::int64_t first = std::max<std::int64_t>(s.first, 1);
    return {first, std::max<std::int64_t>(s.last, first - 1)};
  }

  bool Get(std::u16string name, std::u16string& text) const {
    name = cals::ToLower(name);
    for (const cals::Tag& tag : tags) {
      for (const cals::SubTag& s : tag.subTags) {
        if (s.name != name) continue;
        const auto [first, last] = Range(s);
        if (static_cast<std::int64_t>(tag.value.size()) < first) {
          text.clear();
        } else {
          text = std::u16string(cals::TrimRight(std::u16string_view(tag.value).substr(
              static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1))));
        }
        return true;
      }
      if (tag.name == name) {
        text = tag.value;
        return true;
      }
    }
    return false;
  }

  bool Set(std::u16string name, std::u16string text) {
    if (text.empty()) text = u"NONE";
    name = cals::ToLower(name);
    for (cals::Tag& tag : tags) {
      if (tag.subTags.empty()) {
        if (tag.name != name) continue;
        if (tag.readOnly) return false;
        tag.value = text;
        return true;
      }
      for (const cals::SubTag& s : tag.subTags) {
        if (s.name != name) continue;
        if (tag.readOnly) return false;
        const auto [first, last] = Range(s);
        const auto width = static_cast<std::size_t>(last - first + 1);
        const std::u16string field = (text + std::u16string(128, u' ')).substr(0, width);
        const std::u16string padded = tag.value + std::u16string(128, u' ');
        std::u16string spliced = padded.substr(0, static_cast<std::size_t>(first - 1)) + field +
                                 padded.substr(static_cast<std::size_t>(last));
        tag.value = std::u16string(cals::TrimRight(spliced));
        return true;
      }
    }
    return false;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  testing_support::HeaderRig rig;
  const testing_support::FakeDoubleByteCodec doubleByte;
  if (input.Byte() & 1) rig.platform.codec = &doubleByte;

  // Two configured records and up to four plain ones, names and values
  // fuzzed; a refused configuration just leaves that record out.
  const std::u16string readOnly = input.Byte() % 2 ? u"1" : u"0";
  std::u16string ini = u"[t]\nReadonly=" + readOnly + u"\nTagnames=" +
                       input.TextUntilZero() + u"\nTagpositions=" + input.TextUntilZero() + u"\n[u]\nTagnames=" +
                       input.TextUntilZero() + u"\nTagpositions=" + input.TextUntilZero() + u"\n";
  // Fuzzed line breaks and brackets may add keys and sections; any
  // configuration will do.
  rig.Configure(ini);
  cals::TagFinder finder(rig.platform);
  FUZZ_CHECK(finder.BeginLoad(static_cast<unsigned char>(' ')));
  const int records = 2 + input.Byte() % 5;
  for (int i = 0; i < records; ++i) {
    const std::u16string name = i == 0 ? u"t" : i == 1 ? u"u" : input.TextUntilZero();
    finder.AddRecord(name, input.TextUntilZero());
  }

  ReferenceModel model{finder.tags()};
  std::vector<std::u16string> names;
  for (const cals::Tag& tag : model.tags) {
    names.push_back(tag.name);
    for (const cals::SubTag& s : tag.subTags) names.push_back(s.name);
  }
  names.push_back(u"T");

  while (!input.empty()) {
    const std::uint8_t op = input.Byte();
    const std::u16string& name = names[input.Byte() % names.size()];
    switch (op % 3) {
      case 0: {
        std::u16string actual = u"\x1";
        std::u16string expected = u"\x1";
        FUZZ_CHECK(finder.GetTagValue(name, actual) == model.Get(name, expected));
        FUZZ_CHECK(actual == expected);
        break;
      }
      case 1: {
        const std::u16string text = input.TextUntilZero();
        FUZZ_CHECK(finder.SetTagValue(name, text) == model.Set(name, text));
        FUZZ_CHECK(finder.tags() == model.tags);
        break;
      }
      default: {
        cals::HeaderBlock block;
        finder.BuildHeaderBlock(block);
        const auto writeBack = static_cast<std::size_t>(
            std::count_if(model.tags.begin(), model.tags.end(), [](const cals::Tag& t) { return t.writeBack; }));
        FUZZ_CHECK(std::all_of(block.begin() + static_cast<std::ptrdiff_t>(std::min(writeBack, cals::kParsedRecords) * cals::kRecordSize),
                               block.end(), [](unsigned char b) { return b == ' '; }));
        break;
      }
    }
  }
  return 0;
}
