// What a save does beyond the values asked: every record it rewrites, and
// what it adds to calsvar check's findings.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cals/cp1252_codec.h"
#include "tests/support/header_rig.h"
#include "tools/calsvar/writing/save_effects.h"

namespace {

using testing_support::MakeHeaderFile;

TEST(SaveEffects, NamesEveryRecordThatMovesOrIsRespelt) {
  const auto before = MakeHeaderFile({"SrcDocId:   ABC", "", "srcgph: NONE", "rtype: 1"});
  const auto after = MakeHeaderFile({"srcdocid: ABC", "srcgph: NONE", "rtype: 1"});
  const auto changes = calsvar::ChangedRecords(before, after, cals::Cp1252Codec());
  ASSERT_EQ(changes.size(), 4u);
  EXPECT_EQ(changes[0].number, 1);
  EXPECT_EQ(changes[0].before, u"SrcDocId:   ABC");
  EXPECT_EQ(changes[0].after, u"srcdocid: ABC");
  EXPECT_EQ(changes[1].before, u"");
  EXPECT_EQ(changes[1].after, u"srcgph: NONE");
  EXPECT_EQ(changes[3].before, u"rtype: 1");
  EXPECT_EQ(changes[3].after, u"");
}

TEST(SaveEffects, OnlyFindingsTheSaveBringsCount) {
  const std::vector<std::string> good = {"srcdocid: A", "dstdocid: NONE", "txtfilid: NONE", "figid: NONE",
                                         "srcgph: NONE", "doccls: NONE", "rtype: 1", "rorient: 000,270",
                                         "rpelcnt: 001728,002200", "rdensty: 0200", "notes: NONE"};
  std::vector<std::string> cut = good;
  cut[8] = "rpelcnt: 1728  ,002200";  // a sub-tag written short, padded with blanks
  const auto added = calsvar::FindingsAdded(MakeHeaderFile(good), MakeHeaderFile(cut));
  ASSERT_FALSE(added.empty());
  EXPECT_EQ(added[0].severity, cals::conformance::Severity::kError);
  // The same finding before and after is not the save's doing.
  EXPECT_TRUE(calsvar::FindingsAdded(MakeHeaderFile(cut), MakeHeaderFile(cut)).empty());
}

}  // namespace
