// calsvar's command line: what scripts type must mean the same every time.
#include <gtest/gtest.h>

#include "tools/calsvar/cli/command_line.h"

namespace {

using calsvar::Command;
using calsvar::ParseCommandLine;

calsvar::Invocation Parsed(std::vector<std::u16string> args) {
  auto parsed = ParseCommandLine(args);
  EXPECT_TRUE(parsed.invocation) << parsed.error;
  return parsed.invocation.value_or(calsvar::Invocation{});
}

std::string ErrorOf(std::vector<std::u16string> args) {
  auto parsed = ParseCommandLine(args);
  EXPECT_FALSE(parsed.invocation);
  return parsed.error;
}

TEST(CommandLine, GetTakesFilesNamesAndJsonInAnyOrder) {
  auto inv = Parsed({u"get", u"a.cal", u"--name", u"rpelcnt", u"dir", u"--json", u"--name=Width"});
  EXPECT_EQ(inv.command, Command::kGet);
  EXPECT_TRUE(inv.json);
  EXPECT_EQ(inv.files, (std::vector<std::u16string>{u"a.cal", u"dir"}));
  EXPECT_EQ(inv.names, (std::vector<std::u16string>{u"rpelcnt", u"Width"}));
}

TEST(CommandLine, DllMayStandBeforeOrAfterTheCommand) {
  EXPECT_EQ(Parsed({u"--dll", u"C:\\p\\mirotex.dll", u"info"}).dll, u"C:\\p\\mirotex.dll");
  EXPECT_EQ(Parsed({u"info", u"--dll=x.dll"}).dll, u"x.dll");
}

TEST(CommandLine, DoubleDashMakesAFileOfWhatLooksLikeAnOption) {
  auto inv = Parsed({u"get", u"--", u"--odd-name.cal"});
  EXPECT_EQ(inv.files, (std::vector<std::u16string>{u"--odd-name.cal"}));
}

TEST(CommandLine, SetSplitsAtTheFirstEqualsSignAndKeepsEmptyValues) {
  auto inv = Parsed({u"set", u"a.cal", u"notes=a=b", u"dstdocid="});
  ASSERT_EQ(inv.assignments.size(), 2u);
  EXPECT_EQ(inv.files, (std::vector<std::u16string>{u"a.cal"}));
  EXPECT_EQ(inv.assignments[0].name, u"notes");
  EXPECT_EQ(inv.assignments[0].text, u"a=b");
  EXPECT_FALSE(inv.assignments[0].date);
  EXPECT_EQ(inv.assignments[1].text, u"");
}

TEST(CommandLine, SetReadsDatesAndTheDateStyle) {
  auto inv = Parsed({u"set", u"--date-style", u"103", u"a.cal", u"notes@date=2024-03-05T13:52:30"});
  EXPECT_EQ(inv.dateStyle, 103);
  ASSERT_EQ(inv.assignments.size(), 1u);
  EXPECT_EQ(inv.assignments[0].name, u"notes");
  ASSERT_TRUE(inv.assignments[0].date);
  EXPECT_DOUBLE_EQ(*inv.assignments[0].date, 45356.578125);
  EXPECT_EQ(Parsed({u"set", u"a.cal", u"x=1", u"--date-style=100"}).dateStyle, 100);
}

TEST(CommandLine, WriteOptionsAndTables) {
  auto inv = Parsed({u"set", u"--dry-run", u"--force", u"--allow-control", u"a.cal", u"x=1"});
  EXPECT_TRUE(inv.dryRun && inv.force && inv.allowControl);
  inv = Parsed({u"set", u"--from", u"-", u"--json"});
  EXPECT_EQ(inv.fromTable, u"-");
  EXPECT_TRUE(inv.files.empty());
  EXPECT_TRUE(Parsed({u"get", u"--csv", u"dir"}).csv);
  EXPECT_EQ(Parsed({u"get", u"--csv", u"dir"}).csvSeparator, u',');
  EXPECT_EQ(Parsed({u"get", u"--csv", u"--csv-separator", u";", u"dir"}).csvSeparator, u';');
  EXPECT_EQ(Parsed({u"get", u"--csv-separator=tab", u"--csv", u"dir"}).csvSeparator, u'\t');
  EXPECT_NE(ErrorOf({u"get", u"--csv", u"--csv-separator", u"|", u"dir"}).find("needs \",\", \";\" or tab"),
            std::string::npos);
  EXPECT_NE(ErrorOf({u"get", u"--csv-separator", u";", u"dir"}).find("belongs to get --csv"), std::string::npos);
}

TEST(CommandLine, CheckConfigTakesAnOptionalFile) {
  EXPECT_FALSE(Parsed({u"check-config"}).configFile);
  EXPECT_EQ(Parsed({u"check-config", u"--json", u"my.ini"}).configFile, u"my.ini");
}

TEST(CommandLine, NoCommandOrHelpGivesHelp) {
  EXPECT_EQ(Parsed({}).command, Command::kHelp);
  EXPECT_EQ(Parsed({u"get", u"--help"}).command, Command::kHelp);
}

TEST(CommandLine, UsageErrorsSayWhatIsWrong) {
  EXPECT_NE(ErrorOf({u"frobnicate"}).find("unknown command \"frobnicate\""), std::string::npos);
  EXPECT_NE(ErrorOf({u"get"}).find("at least one"), std::string::npos);
  EXPECT_NE(ErrorOf({u"get", u"a.cal", u"--name"}).find("--name needs"), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"a.cal"}).find("NAME=VALUE"), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"a.cal", u"notes"}).find("expected NAME=VALUE, got \"notes\""), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"a.cal", u"=x"}).find("expected NAME=VALUE"), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"a.cal", u"notes@date=2024-02-30"}).find("not a date"), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"--date-style", u"1x", u"a.cal", u"a=b"}).find("whole number"), std::string::npos);
  EXPECT_NE(ErrorOf({u"get", u"--verbose", u"a.cal"}).find("unknown option \"--verbose\""), std::string::npos);
  EXPECT_NE(ErrorOf({u"info", u"extra"}).find("takes no file"), std::string::npos);
  EXPECT_NE(ErrorOf({u"info", u"--name", u"x"}).find("belongs to the get command"), std::string::npos);
  EXPECT_NE(ErrorOf({u"check-config", u"a.ini", u"b.ini"}).find("at most one"), std::string::npos);
  EXPECT_NE(ErrorOf({u"info", u"--json=yes"}).find("unknown option"), std::string::npos);
  // Only the styles that have a rendering of their own; the plug-in shows
  // any other number as style 113.
  EXPECT_NE(ErrorOf({u"set", u"a.cal", u"x=1", u"--date-style=-5"}).find("not one of the date styles"),
            std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"--date-style", u"108", u"a.cal", u"x=1"}).find("not one of"), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"a.cal", u"notes@date=0001-01-01"}).find("the year must be 100 to 9999"),
            std::string::npos);
  EXPECT_NE(ErrorOf({u"get", u"--csv", u"--json", u"a.cal"}).find("cannot be used together"), std::string::npos);
  EXPECT_NE(ErrorOf({u"get", u"--dry-run", u"a.cal"}).find("belong to the set command"), std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"--from", u"t.csv", u"a.cal"}).find("takes its files and values from the table"),
            std::string::npos);
  EXPECT_NE(ErrorOf({u"set", u"--from"}).find("--from needs"), std::string::npos);
}

}  // namespace
