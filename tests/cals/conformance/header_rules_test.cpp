// The header edits of header_edits.h, each with the lines calsvar check
// prints for it; a row is an error exactly where a reader fails on it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cals/conformance/check_lines.h"
#include "tests/cals/conformance/header_edits.h"

namespace {

using conformance_test::Readers;

TEST(HeaderRules, TheStandardFileChecksClean) {
  EXPECT_EQ(conformance_test::CheckLines(conformance_test::File(conformance_test::Standard())),
            std::vector<std::string>{});
}

TEST(HeaderRules, EachEditGivesItsLinesAndAnErrorOnlyWhereAReaderFails) {
  for (const conformance_test::HeaderEdit& edit : conformance_test::HeaderEdits()) {
    const std::vector<std::string> lines = conformance_test::CheckLines(edit.file());
    EXPECT_EQ(lines, edit.lines) << edit.rule;
    const bool error = std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return l.starts_with("error"); });
    EXPECT_EQ(error, edit.readers != Readers::kBothRead) << edit.rule;
  }
}

}  // namespace
