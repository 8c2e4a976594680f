#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "convert/printf_format.h"
#include "convert/str.h"
#include "tests/convert/narrow_text.h"

namespace {

struct FormatCase {
  const char16_t* format;
  std::vector<FormatArg> args;
  const char* expected;
};

TEST(RenderPrintf, RendersLikePrintf) {
  const FormatCase cases[] = {
      {u"plain text", {}, "plain text"},
      {u"", {}, ""},
      {u"100%%", {}, "100%"},
      {u"%d", {0}, "0"},
      {u"%d", {-42}, "-42"},
      {u"%i", {7}, "7"},
      {u"%02d", {5}, "05"},
      {u"%02d", {123}, "123"},
      {u"%02d", {-1}, "-1"},
      {u"%04d", {-1}, "-001"},
      {u"%04d", {950}, "0950"},
      {u"%04d", {10000}, "10000"},
      {u"%4d", {-1}, "  -1"},
      {u"%-4d|", {7}, "7   |"},
      {u"%-04d|", {7}, "7   |"},
      {u"%+d %+d", {3, -3}, "+3 -3"},
      {u"% d", {3}, " 3"},
      {u"%.3d", {7}, "007"},
      {u"%05.3d", {-7}, " -007"},
      {u"%.0d|", {0}, "|"},
      {u"%d", {INT_MIN}, "-2147483648"},
      {u"%d", {LLONG_MIN}, "-9223372036854775808"},
      {u"%s", {u"Mars"}, "Mars"},
      {u"[%s]", {u""}, "[]"},
      {u"[%s]", {static_cast<const char16_t*>(nullptr)}, "[]"},
      {u"[%6s]", {u"Mar"}, "[   Mar]"},
      {u"[%-6s]", {u"Mar"}, "[Mar   ]"},
      {u"[%.2s]", {u"Mar"}, "[Ma]"},
      {u"%s %02d %04d", {u"Jan", 1, 1900}, "Jan 01 1900"},
      {u"%d", {1, 2}, "1"},  // extra arguments are ignored
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(Narrow(RenderPrintf(c.format, c.args)), c.expected) << Narrow(c.format);
  }
}

TEST(RenderPrintf, RefusesFormatsThatDoNotMatchTheArguments) {
  const FormatCase cases[] = {
      {u"%d", {}, "missing argument"},
      {u"%d %d", {1}, "second argument missing"},
      {u"%s", {1}, "integer for a text"},
      {u"%d", {u"x"}, "text for an integer"},
      {u"%x", {1}, "unknown conversion"},
      {u"%ld", {1}, "length modifiers are not known"},
      {u"%", {}, "format ends inside a directive"},
      {u"%02", {1}, "format ends inside a width"},
      {u"%99999999999999999999d", {1}, "width too large"},
      {u"%.5000s", {u"x"}, "precision too large"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_THROW(RenderPrintf(c.format, c.args), std::invalid_argument) << c.expected;
  }
}

TEST(Str, ConstructionCopiesTheText) {
  char16_t buffer[] = u"abc";
  const Str copy(buffer);
  buffer[0] = u'x';
  EXPECT_EQ(Narrow(copy.text()), "abc");
  EXPECT_EQ(Narrow(Str(nullptr).text()), "");
  EXPECT_EQ(Narrow(Str().text()), "");
}

TEST(Str, FormatReplacesTheWholeText) {
  Str s(u"a long previous text that must go");
  s.Format(u"%02d:%02d", 1, 2);
  EXPECT_EQ(Narrow(s.text()), "01:02");
  s.Format(u"%s", std::u16string(u"again"));
  EXPECT_EQ(Narrow(s.text()), "again");
  s.Format(nullptr);
  EXPECT_EQ(Narrow(s.text()), "");
}

TEST(Str, FailedFormatLeavesTheTextAlone) {
  Str s(u"before");
  EXPECT_THROW(s.Format(u"%d %s", 1, 2), std::invalid_argument);
  EXPECT_EQ(Narrow(s.text()), "before");
}

}  // namespace
