// Sequences of GetTagValue and SetTagValue on a fuzzed tag model, checked
// against a plain model of the rules (value padded with 128 spaces, spliced,
// right-trimmed), and header blocks built in between with a single-byte or
// a double-byte code page: each record starts in its own 128 bytes with its
// name, and everything behind the records (byte 1408 on included) is fill.
// At the end the model is saved into a file and loaded again: the bytes from
// 1408 on and the file's length stay as they were, and a tag whose name and
// value survive a record (see SurvivesRecord) comes back unchanged, or with
// its value cut to its field when the value is longer.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cals/cals_header.h"
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

constexpr char16_t kPath[] = u"C:\\fuzz.cal";

// Text that a record carries unchanged: every character goes through the
// code page and back, none is a control character (U+0000 included), and
// neither end is white space, which the reader trims.
bool SurvivesRecord(std::u16string_view text, const cals::TextCodec& codec) {
  if (codec.Decode(codec.Encode(text, SIZE_MAX)) != text) return false;
  if (std::any_of(text.begin(), text.end(), [](char16_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); })) {
    return false;
  }
  return cals::Trim(text).size() == text.size();
}

// A name comes back when it survives a record, holds no colon, and leaves
// room for ": " in the record; its value too when the value survives and
// fits the field.
bool NameSurvives(const cals::Tag& tag, const cals::TextCodec& codec) {
  return SurvivesRecord(tag.name, codec) && tag.name.find(u':') == std::u16string::npos &&
         codec.Encode(tag.name + u": ", SIZE_MAX).size() <= cals::kRecordSize;
}

bool ValueSurvives(const cals::Tag& tag, const cals::TextCodec& codec) {
  return SurvivesRecord(tag.value, codec) && tag.fieldWidth >= 0 &&
         tag.value.size() <= static_cast<std::size_t>(tag.fieldWidth) &&
         codec.Encode(tag.name + u": " + tag.value, SIZE_MAX).size() <= cals::kRecordSize;
}

// The header block's record slots: tag k of those written back starts slot
// k with its name and ": ", slots past the last one and the rest of the
// block are nothing but the fill character.
void CheckBlock(const cals::HeaderBlock& block, const std::vector<cals::Tag>& tags, const cals::TextCodec& codec,
                unsigned char fill) {
  std::size_t slot = 0;
  for (const cals::Tag& tag : tags) {
    if (!tag.writeBack) continue;
    if (slot == cals::kParsedRecords) break;
    const std::string head = codec.Encode(tag.name.substr(0, tag.name.find(u'\0')) + u": ", cals::kRecordSize);
    FUZZ_CHECK(std::equal(head.begin(), head.end(), block.begin() + static_cast<std::ptrdiff_t>(slot * cals::kRecordSize),
                          [](char a, unsigned char b) { return static_cast<unsigned char>(a) == b; }));
    ++slot;
  }
  FUZZ_CHECK(std::all_of(block.begin() + static_cast<std::ptrdiff_t>(slot * cals::kRecordSize), block.end(),
                         [fill](unsigned char b) { return b == fill; }));
}

// A file with a header and a raster whose records hold no colon: it loads
// without a tag, and the model is then built record by record.
testing_support::Bytes FileWithoutRecords() {
  testing_support::Bytes bytes(cals::kHeaderSize + 300);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 31 + 7);
  std::replace(bytes.begin(), bytes.end(), static_cast<unsigned char>(':'), static_cast<unsigned char>(';'));
  return bytes;
}

// Saves the model into the file it was loaded from, and loads it again
// under the same configuration.
void CheckSaveAndReload(testing_support::HeaderRig& rig, cals::CalsHeader& header) {
  const testing_support::Bytes original = rig.files.files[kPath];
  header.dirty = true;
  FUZZ_CHECK(header.SaveHeader() == cals::kOk);
  const testing_support::Bytes& saved = rig.files.files[kPath];
  FUZZ_CHECK(saved.size() == original.size());
  FUZZ_CHECK(std::equal(saved.begin() + cals::kWrittenSize, saved.end(), original.begin() + cals::kWrittenSize));

  const cals::TextCodec& codec = *rig.platform.codec;
  std::vector<cals::Tag> written;
  for (const cals::Tag& tag : header.tagFinder.tags()) {
    if (tag.writeBack && written.size() < cals::kParsedRecords) written.push_back(tag);
  }
  // A name that does not come back may be refused by the configuration or
  // read as no record at all; nothing more is then known.
  if (!std::all_of(written.begin(), written.end(), [&](const cals::Tag& t) { return NameSurvives(t, codec); })) {
    return;
  }
  cals::CalsHeader reloaded(rig.platform);
  FUZZ_CHECK(reloaded.LoadHeader(kPath) == cals::kOk);
  std::vector<cals::Tag> read;
  for (const cals::Tag& tag : reloaded.tagFinder.tags()) {
    if (tag.writeBack) read.push_back(tag);
  }
  FUZZ_CHECK(read.size() == written.size());
  for (std::size_t i = 0; i < written.size(); ++i) {
    const cals::Tag& tag = written[i];
    FUZZ_CHECK(read[i].name == tag.name);
    if (ValueSurvives(tag, codec)) FUZZ_CHECK(read[i] == tag);
    if (!SurvivesRecord(tag.value, codec)) continue;
    // A longer value comes back cut to its field's width and to the room
    // the record has left, at a whole character.
    const std::u16string field = tag.value.substr(0, static_cast<std::size_t>(std::max(tag.fieldWidth, 0)));
    const std::size_t room = cals::kRecordSize - codec.Encode(tag.name + u": ", SIZE_MAX).size();
    FUZZ_CHECK(read[i].value == cals::Trim(codec.Decode(codec.Encode(field, room))));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzzing::FuzzInput input(data, size);
  testing_support::HeaderRig rig;
  const testing_support::FakeDoubleByteCodec doubleByte;
  if (input.Byte() & 1) rig.platform.codec = &doubleByte;

  // Two configured records and up to thirteen plain ones (more than the 11
  // that are written back), names and values fuzzed; a refused
  // configuration just leaves that record out.
  const std::u16string readOnly = input.Byte() % 2 ? u"1" : u"0";
  std::u16string ini = u"[t]\nReadonly=" + readOnly + u"\nTagnames=" +
                       input.TextUntilZero() + u"\nTagpositions=" + input.TextUntilZero() + u"\n[u]\nTagnames=" +
                       input.TextUntilZero() + u"\nTagpositions=" + input.TextUntilZero() + u"\n";
  // Fuzzed line breaks and brackets may add keys and sections; any
  // configuration will do.
  rig.Configure(ini);
  rig.files.files[kPath] = FileWithoutRecords();
  cals::CalsHeader header(rig.platform);
  // Loaded first: a save writes only over the header its object read.
  FUZZ_CHECK(header.LoadHeader(kPath) == cals::kOk);
  FUZZ_CHECK(header.tagFinder.tags().empty());
  cals::TagFinder& finder = header.tagFinder;
  FUZZ_CHECK(finder.BeginLoad(static_cast<unsigned char>(' ')));
  const int records = 2 + input.Byte() % 14;
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
        CheckBlock(block, model.tags, *rig.platform.codec, ' ');
        break;
      }
    }
  }
  CheckSaveAndReload(rig, header);
  return 0;
}
