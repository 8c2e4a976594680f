// calsvar check's output: the command line, one line per finding or "ok",
// one JSON object per file, and the summary of a run.
#include <gtest/gtest.h>

#include "tools/calsvar/output/check_report.h"
#include "tools/calsvar/cli/command_line.h"

namespace {

using cals::conformance::FileReport;
using cals::conformance::Finding;
using cals::conformance::Severity;

FileReport WithFindings() {
  FileReport report;
  report.width = 8;
  report.height = 3;
  report.linesDecoded = 2;
  report.fileSize = 2051;
  report.findings = {Finding{Severity::kWarning, "no \"figid\" record, which belongs here", 4, std::nullopt, std::nullopt},
                     Finding{Severity::kError, "the end-of-block code comes after line 2 of 3", std::nullopt, 2051, 2}};
  return report;
}

TEST(CheckCommand, TakesFilesAndJson) {
  const auto parsed = calsvar::ParseCommandLine({u"check", u"a.cal", u"--json", u"dir"});
  ASSERT_TRUE(parsed.invocation) << parsed.error;
  EXPECT_EQ(parsed.invocation->command, calsvar::Command::kCheck);
  EXPECT_TRUE(parsed.invocation->json);
  EXPECT_EQ(parsed.invocation->files, (std::vector<std::u16string>{u"a.cal", u"dir"}));
  EXPECT_EQ(calsvar::ParseCommandLine({u"check"}).error, "check needs at least one CALS file or folder");
}

TEST(CheckReport, OneLinePerFindingOrOk) {
  EXPECT_EQ(calsvar::CheckLines(u"a.cal", FileReport{}), std::vector<std::string>{"a.cal\tok"});
  EXPECT_EQ(calsvar::CheckLines(u"d/b.cal", WithFindings()),
            (std::vector<std::string>{"d/b.cal\twarning\tno \"figid\" record, which belongs here, record 4",
                                      "d/b.cal\terror\tthe end-of-block code comes after line 2 of 3, byte 2051"}));
}

TEST(CheckReport, OneJsonObjectPerFile) {
  EXPECT_EQ(calsvar::CheckJson(u"b.cal", WithFindings()),
            "{\"file\": \"b.cal\", \"result\": \"errors\", \"width\": 8, \"height\": 3, \"linesDecoded\": 2, "
            "\"bytes\": 2051, \"findings\": [{\"severity\": \"warning\", \"message\": \"no \\\"figid\\\" record, which "
            "belongs here\", \"record\": 4}, {\"severity\": \"error\", \"message\": \"the end-of-block code comes "
            "after line 2 of 3\", \"offset\": 2051, \"line\": 2}]}");
  EXPECT_EQ(calsvar::UnreadableJson(u"c.cal", "cannot be read: there is no such file"),
            "{\"file\": \"c.cal\", \"error\": {\"message\": \"cannot be read: there is no such file\"}}");
}

TEST(CheckReport, SummaryCountsEachFileOnce) {
  calsvar::CheckTally tally;
  for (auto verdict : {calsvar::Verdict::kOk, calsvar::Verdict::kErrors, calsvar::Verdict::kOk, calsvar::Verdict::kWarnings}) {
    tally.Count(verdict);
  }
  EXPECT_EQ(tally.Summary(), "4 files: 2 ok, 1 with warnings, 1 with errors");
  EXPECT_EQ(calsvar::VerdictOf(WithFindings()), calsvar::Verdict::kErrors);
}

}  // namespace
