#include <gtest/gtest.h>

#include <string>

#include "cals/cp1252_codec.h"

namespace {

const cals::Cp1252Codec codec;

TEST(Cp1252, DecodesTheWindowsRowAndLatin1) {
  EXPECT_EQ(codec.Decode("\x80\x8A\x9F\x81\x9D"), u"\u20AC\u0160\u0178\u0081\u009D");
  EXPECT_EQ(codec.Decode("A\xC9\xFF\xA0"), u"A\u00C9\u00FF\u00A0");
}

TEST(Cp1252, EveryByteEncodesBackToItself) {
  std::string all;
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(codec.Encode(codec.Decode(all), all.size()), all);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeOneQuestionMarkEach) {
  EXPECT_EQ(codec.Encode(u"a\u4E00b\u0080", 100), "a?b?");
  EXPECT_EQ(codec.Encode(u"x\U0001F600y", 100), "x?y");  // a surrogate pair is one character
  EXPECT_EQ(codec.Encode(u"\xD800z\xDC00", 100), "?z?");  // lone halves
}

TEST(Cp1252, StopsAtTheByteLimit) {
  EXPECT_EQ(codec.Encode(u"abcdef", 4), "abcd");
  EXPECT_EQ(codec.Encode(u"ab", 0), "");
  EXPECT_EQ(codec.Encode(u"\U0001F600\U0001F600z", 2), "??");
}

}  // namespace
