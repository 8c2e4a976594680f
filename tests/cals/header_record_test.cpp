// Header records: read into name and value, and written back from tags.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cals/record_fields.h"
#include "cals/tag_finder.h"
#include "tests/support/fake_double_byte_codec.h"
#include "tests/support/header_rig.h"
#include "tests/support/printable_name.h"

namespace {

using cals::kRecordSize;
using Record = std::array<unsigned char, kRecordSize>;

Record MakeRecord(std::string_view text, unsigned char fill = ' ') {
  Record record;
  record.fill(fill);
  std::copy_n(text.begin(), std::min(text.size(), kRecordSize), record.begin());
  return record;
}

std::string AsText(std::span<const unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

struct ReadCase {
  std::string bytes;
  std::optional<std::u16string> name;
  std::u16string value;
};

void PrintTo(const ReadCase& c, std::ostream* os) { *os << testing_support::PrintableName(c.bytes); }

class RecordReading : public ::testing::TestWithParam<ReadCase> {};

TEST_P(RecordReading, SplitsAtTheFirstColonAndTrims) {
  const cals::Cp1252Codec codec;
  const auto fields = cals::ReadRecordFields(MakeRecord(GetParam().bytes), codec);
  ASSERT_EQ(fields.has_value(), GetParam().name.has_value());
  if (!fields) return;
  EXPECT_EQ(fields->name, *GetParam().name);
  EXPECT_EQ(fields->value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RecordReading,
    ::testing::Values(ReadCase{"SrcDocId:   ABC   ", u"SrcDocId", u"ABC"},
                      ReadCase{"\t rtype \r\n:\v\f 1 \xA0", u"rtype", u"1"},
                      ReadCase{"notes: a:b ", u"notes", u"a:b"}, ReadCase{":", u"", u""},
                      ReadCase{"caf\xC9: \x80 5", u"caf\u00C9", u"\u20AC 5"},
                      ReadCase{"no colon at all", std::nullopt, u""},
                      ReadCase{std::string("ab\0:cd", 6), std::nullopt, u""},  // text ends at the zero byte
                      ReadCase{std::string("ab:c\0d", 6), u"ab", u"c"},
                      ReadCase{"", std::nullopt, u""}));

TEST(RecordReading, ARecordWithoutZeroByteUsesAll128Bytes) {
  const cals::Cp1252Codec codec;
  const auto fields = cals::ReadRecordFields(MakeRecord(std::string(127, 'n') + ":", 'x'), codec);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->name, std::u16string(127, u'n'));
  EXPECT_EQ(fields->value, u"");
}

// A code page in which a high byte takes the next byte with it, whatever
// that byte is, and a high byte with nothing after it reads as "?".
class GreedyPairCodec final : public cals::TextCodec {
 public:
  std::u16string Decode(std::string_view bytes) const override {
    std::u16string text;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const auto byte = static_cast<unsigned char>(bytes[i]);
      if (byte < 0x80) {
        text.push_back(byte);
      } else {
        text.push_back(i + 1 < bytes.size() ? u'\u30FB' : u'?');
        ++i;
      }
    }
    return text;
  }
  std::string Encode(std::u16string_view, std::size_t) const override { return {}; }
};

// Blank padding must decode as it would inside the whole record: after a
// high byte it may belong to that byte's character.
TEST(RecordReading, PaddingAfterAHighByteIsDecodedWithIt) {
  const GreedyPairCodec codec;
  const auto fields = cals::ReadRecordFields(MakeRecord("notes: A\x82"), codec);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->value, u"A\u30FB");
  const auto blankAfterAscii = cals::ReadRecordFields(MakeRecord("notes: A\x82\x41"), codec);
  ASSERT_TRUE(blankAfterAscii);
  EXPECT_EQ(blankAfterAscii->value, u"A\u30FB");
}

class RecordWriting : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(finder.BeginLoad('.')); }

  std::string Format(const cals::Tag& tag) {
    std::array<unsigned char, 2 * kRecordSize> twoSlots;
    twoSlots.fill('#');
    finder.FormatRecord(tag, std::span<unsigned char, kRecordSize>(twoSlots.data(), kRecordSize));
    EXPECT_EQ(AsText(std::span(twoSlots).subspan(kRecordSize)), std::string(kRecordSize, '#'))
        << "wrote into the next slot";
    return AsText(std::span(twoSlots).first(kRecordSize));
  }

  static cals::Tag MakeTag(std::u16string name, std::u16string value, std::int32_t fieldWidth) {
    cals::Tag tag;
    tag.name = std::move(name);
    tag.value = std::move(value);
    tag.fieldWidth = fieldWidth;
    return tag;
  }

  static std::string Padded(std::string text) { return testing_support::PaddedRecord(std::move(text), '.'); }

  testing_support::HeaderRig rig;
  cals::TagFinder finder{rig.platform};
};

TEST_F(RecordWriting, NameSeparatorValueThenFill) {
  EXPECT_EQ(Format(MakeTag(u"srcdocid", u"ABC", 118)), Padded("srcdocid: ABC"));
  EXPECT_EQ(Format(MakeTag(u"notes", u"", 121)), Padded("notes: "));
  EXPECT_EQ(Format(MakeTag(u"caf\u00E9", u"\u20AC\u4E00", 122)), Padded("caf\xE9: \x80?"));
}

TEST_F(RecordWriting, ValuesAreCutToTheFieldWidth) {
  EXPECT_EQ(Format(MakeTag(u"rorient", u"000,270 extra", 7)), Padded("rorient: 000,270"));
  EXPECT_EQ(Format(MakeTag(u"x", u"abc", 0)), Padded("x: "));
  EXPECT_EQ(Format(MakeTag(u"x", u"abc", -1)), Padded("x: "));
}

TEST_F(RecordWriting, AFullRecordHasNoFillAndLeavesTheNextSlotAlone) {
  const std::string value(121, 'v');
  EXPECT_EQ(Format(MakeTag(u"notes", std::u16string(200, u'v'), 121)), "notes: " + value);
}

TEST_F(RecordWriting, ANameTooLongForTheRecordIsCut) {
  EXPECT_EQ(Format(MakeTag(std::u16string(127, u'n'), u"lost", -1)), std::string(127, 'n') + ":");
  EXPECT_EQ(Format(MakeTag(std::u16string(300, u'n'), u"lost", -1)), std::string(128, 'n'));
}

TEST_F(RecordWriting, NoZeroByteInsideARecord) {
  EXPECT_EQ(Format(MakeTag(u"notes", std::u16string(u"ab\0cd", 5), 121)), Padded("notes: ab"));
}

TEST_F(RecordWriting, AValueIsNeverCutInsideASurrogatePair) {
  // Seven characters: "ab" and a pair cut after its first half.
  EXPECT_EQ(Format(MakeTag(u"x", u"ab\U0001F600cd", 3)), Padded("x: ab"));
  EXPECT_EQ(Format(MakeTag(u"x", u"ab\U0001F600cd", 4)), Padded("x: ab?"));
}

TEST_F(RecordWriting, DoubleByteTextStopsAtAWholeCharacterInsideTheRecord) {
  const testing_support::FakeDoubleByteCodec codec;
  rig.platform.codec = &codec;
  const std::u16string value(123, u'\u30A2');  // 123 characters, 246 bytes

  // "abc: " is 5 bytes; 61 two-byte characters fill 122 more; the last byte
  // cannot hold half a character and is fill.
  std::string expected = "abc: ";
  for (int i = 0; i < 61; ++i) expected += "\x82\xA2";
  EXPECT_EQ(Format(MakeTag(u"abc", value, 123)), expected + '.');

  // A name that takes the whole record leaves no room for half a character.
  std::string nameOnly;
  for (int i = 0; i < 64; ++i) nameOnly += "\x82\xA2";
  EXPECT_EQ(Format(MakeTag(std::u16string(64, u'\u30A2'), value, 123)), nameOnly);
}

TEST(HeaderBlockBuilding, WritesBackOnlyRecordTagsInListOrder) {
  testing_support::HeaderRig rig;
  cals::TagFinder finder(rig.platform);
  ASSERT_TRUE(finder.BeginLoad('~'));
  ASSERT_TRUE(finder.AddRecord(u"srcdocid", u"A"));
  ASSERT_TRUE(finder.AddRecord(u"rpelcnt", u"10,20"));  // width, height, colordepth take no slot
  ASSERT_TRUE(finder.AddRecord(u"notes", u"B"));

  cals::HeaderBlock block;
  block.fill(0);
  finder.BuildHeaderBlock(block);
  auto slot = [&](std::size_t i) { return AsText(std::span(block).subspan(i * kRecordSize, kRecordSize)); };
  using testing_support::PaddedRecord;
  EXPECT_EQ(slot(0), PaddedRecord("srcdocid: A", '~'));
  EXPECT_EQ(slot(1), PaddedRecord("rpelcnt: 10,20", '~'));
  EXPECT_EQ(slot(2), PaddedRecord("notes: B", '~'));
  for (std::size_t i = 3; i < 16; ++i) EXPECT_EQ(slot(i), PaddedRecord("", '~')) << "slot " << i;
}

TEST(HeaderBlockBuilding, NeverWritesMoreThanElevenRecords) {
  testing_support::HeaderRig rig;
  cals::TagFinder finder(rig.platform);
  ASSERT_TRUE(finder.BeginLoad(' '));
  for (char16_t c = u'a'; c < u'a' + 14; ++c) ASSERT_TRUE(finder.AddRecord(std::u16string(u"t") + c, u"v"));
  cals::HeaderBlock block;
  finder.BuildHeaderBlock(block);
  EXPECT_EQ(block[10 * kRecordSize], 't');
  EXPECT_EQ(AsText(std::span(block).subspan(cals::kWrittenSize)), std::string(640, ' '));
}

}  // namespace
