#include <gtest/gtest.h>

#include "com/registrar/script_expansion.h"

namespace {

using registrar::ExpandReplacements;
using registrar::Replacements;

const Replacements kReplacements = {
    {u"MODULE", u"C:\\It''s\\mirotex.dll"},
    {u"APPID", u""},
};

TEST(ScriptExpansion, ReplacesKnownNamesWithoutRegardToCase) {
  std::u16string out;
  ASSERT_EQ(registrar::kOk, ExpandReplacements(u"a '%MODULE%' b %module% c%APPID%d", kReplacements, &out));
  EXPECT_EQ(u"a 'C:\\It''s\\mirotex.dll' b C:\\It''s\\mirotex.dll cd", out);
}

TEST(ScriptExpansion, DoublePercentIsOnePercent) {
  std::u16string out;
  ASSERT_EQ(registrar::kOk, ExpandReplacements(u"100%% sure %%%MODULE%", {{u"MODULE", u"m"}}, &out));
  EXPECT_EQ(u"100% sure %m", out);
}

TEST(ScriptExpansion, UnknownOrUnclosedNameFailsAndLeavesNothing) {
  std::u16string out = u"stale";
  EXPECT_EQ(registrar::kSyntaxError, ExpandReplacements(u"x %NOSUCH% y", kReplacements, &out));
  EXPECT_TRUE(out.empty());
  out = u"stale";
  EXPECT_EQ(registrar::kSyntaxError, ExpandReplacements(u"x %MODULE", kReplacements, &out));
  EXPECT_TRUE(out.empty());
}

TEST(ScriptExpansion, DoublesEverySingleQuote) {
  EXPECT_EQ(u"C:\\a''b\\''''.dll", registrar::DoubleSingleQuotes(u"C:\\a'b\\''.dll"));
  EXPECT_EQ(u"plain", registrar::DoubleSingleQuotes(u"plain"));
}

}  // namespace
