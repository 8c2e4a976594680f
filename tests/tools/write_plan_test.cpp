// The rule of every calsvar write: exactly what was asked reaches the file,
// or nothing does. The plug-in is stood in for by the core it is built on,
// loaded from the same header.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cals/cals_header.h"
#include "tests/support/header_rig.h"
#include "tools/calsvar/writing/header_forecast.h"
#include "tools/calsvar/writing/write_plan.h"

namespace {

using calsvar::RequestedValue;
using calsvar::WritePlan;
using calsvar::WriteRules;

constexpr char16_t kConfiguration[] =
    u"[rtype]\nReadonly=1\n"
    u"[rpelcnt]\nTagnames=pelwidth;pelheight\nTagpositions=1-6;8-13\n"
    u"[rdensty]\nTagnames=density\nTagpositions=1-4\n"
    u"[txtfilid]\nTagnames=first;overlap\nTagpositions=1-6;4-9\n";

// Answers as the opened-file object does, from its own loaded header.
class CoreFile final : public calsvar::VariableAccess {
 public:
  CoreFile(testing_support::HeaderRig& rig, const std::vector<RequestedValue>& requests)
      : header_(rig.platform), requests_(requests) {
    header_.LoadHeader(u"a.cal");
  }
  std::vector<std::optional<std::u16string>> Read(const std::vector<std::u16string>& names) override {
    std::vector<std::optional<std::u16string>> values;
    for (const std::u16string& name : names) {
      std::u16string text;
      values.push_back(header_.tagFinder.GetTagValue(name, text) ? std::optional(text) : std::nullopt);
    }
    return values;
  }
  std::vector<bool> Write(const std::vector<std::size_t>& which) override {
    std::vector<bool> accepted;
    for (std::size_t i : which) {
      written.push_back(requests_[i].name);
      accepted.push_back(header_.tagFinder.SetTagValue(requests_[i].name, requests_[i].text));
    }
    return accepted;
  }
  std::vector<std::u16string> written;

 private:
  cals::CalsHeader header_;
  const std::vector<RequestedValue>& requests_;
};

class WritePlanTest : public ::testing::Test {
 protected:
  WritePlan Plan(std::vector<std::string> records, std::vector<RequestedValue> requests, WriteRules rules = {}) {
    rig_.Configure(kConfiguration);
    const auto bytes = testing_support::MakeHeaderFile(records);
    rig_.files.files[u"a.cal"] = bytes;
    requests_ = std::move(requests);
    file_ = std::make_unique<CoreFile>(rig_, requests_);
    calsvar::HeaderForecast forecast(bytes, rig_.platform);
    return calsvar::PlanWrite(*file_, forecast, requests_, rules);
  }
  static std::vector<std::string> Standard() {
    return {"srcdocid: DRW-1", "rtype: 1", "rpelcnt: 001654,002339", "rdensty: 0200", "notes: NONE",
            "txtfilid: NONE"};
  }

  testing_support::HeaderRig rig_;
  std::vector<RequestedValue> requests_;
  std::unique_ptr<CoreFile> file_;
};

TEST_F(WritePlanTest, EachWayAValueFailsToArriveIsNamedAndRefusesTheFile) {
  const struct {
    RequestedValue request;
    const char* reason;
  } cases[] = {
      {{u"srcdocid", std::u16string(200, u'x')}, "cut to 118 characters: the record holds no more"},
      {{u"pelwidth", u"12345678"}, "cut to 6 characters: the field holds no more"},
      {{u"srcdocid", u"  padded"}, "blanks at its start or end are not kept by the header: it would become \"padded\""},
      {{u"rtype", u"2"}, "read-only: the tag configuration makes it so"},
      {{u"width", u"1"}, "read-only: derived from rpelcnt"},
      {{u"nosuch", u"1"}, "no such variable"},
      {{u"rpelcnt", u"1,2"}, "the record has sub-tags and is written only through them (pelwidth, pelheight)"},
      {{u"pelwidth", u""}, "an empty value is stored as NONE, which would stand cut to the field's 6 characters"},
      {{u"srcdocid", u"two\nlines"}, "it holds a line feed (U+000A) at character 4"},
  };
  for (const auto& c : cases) {
    const WritePlan plan = Plan(Standard(), {c.request});
    ASSERT_EQ(plan.variables.size(), 1u);
    EXPECT_NE(plan.variables[0].reason.find(c.reason), std::string::npos)
        << std::string(c.request.name.begin(), c.request.name.end()) << ": " << plan.variables[0].reason;
    EXPECT_TRUE(plan.Refused());
  }
}

TEST_F(WritePlanTest, WhatArrivesAsAskedIsAccepted) {
  WriteRules forced;
  forced.pictureSizeMayChange = true;
  const WritePlan plan = Plan(Standard(), {{u"srcdocid", u"DRW-2"}, {u"pelwidth", u"001700"}, {u"notes", u""},
                                           {u"density", u"0300"}}, forced);
  EXPECT_FALSE(plan.Refused()) << plan.variables[2].reason << plan.sideEffects.size();
  EXPECT_EQ(plan.variables[0].old, u"DRW-1");
  EXPECT_EQ(plan.variables[0].become, u"DRW-2");
  EXPECT_EQ(plan.variables[2].asked, u"NONE");  // empty is the format's word for no value
  EXPECT_EQ(plan.variables[3].become, u"0300");
}

TEST_F(WritePlanTest, ChecksBeforeWritingAndWritesNothingRefusedUpFront) {
  WriteRules rules;
  rules.whyNotInCodePage = [](std::u16string_view text) {
    return text.find(u'\u0142') == std::u16string_view::npos ? std::string() : std::string("not in the code page");
  };
  const WritePlan plan = Plan(Standard(), {{u"srcdocid", u"\u0142"}, {u"notes", u"tab\there"}, {u"density", u"0300"}},
                              rules);
  EXPECT_EQ(plan.variables[0].reason, "not in the code page");
  EXPECT_NE(plan.variables[1].reason.find("a tab (U+0009)"), std::string::npos);
  EXPECT_EQ(file_->written, std::vector<std::u16string>{u"density"});
  rules.allowControl = true;
  EXPECT_FALSE(Plan(Standard(), {{u"srcdocid", u"tab\there"}}, rules).Refused());
}

TEST_F(WritePlanTest, ValuesEqualToTheFileAreNoChangeForTables) {
  WriteRules rules;
  rules.skipUnchanged = true;
  const WritePlan plan = Plan(Standard(), {{u"width", u"1654"}, {u"notes", u""}, {u"srcdocid", u"DRW-1"}}, rules);
  EXPECT_FALSE(plan.Refused());
  EXPECT_FALSE(plan.Changes());
  EXPECT_TRUE(file_->written.empty());
}

TEST_F(WritePlanTest, ARecordOverwrittenOrCutWithoutBeingAskedRefusesTheFile) {
  // Two overlapping sub-tags: writing one changes the other.
  WritePlan plan = Plan(Standard(), {{u"first", u"abcdef"}});
  ASSERT_EQ(plan.sideEffects.size(), 1u) << plan.variables[0].reason;
  EXPECT_NE(plan.sideEffects[0].find("\"overlap\""), std::string::npos) << plan.sideEffects[0];
  plan = Plan(Standard(), {{u"first", u"abcdef"}, {u"overlap", u"XYZ"}});
  EXPECT_NE(plan.variables[0].reason.find("another value asked for the same record overwrites it"), std::string::npos)
      << plan.variables[0].reason;
  // Text behind the last sub-tag is dropped by any save.
  std::vector<std::string> records = Standard();
  records[3] = "rdensty: 0200 dpi";
  plan = Plan(records, {{u"srcdocid", u"DRW-2"}});
  ASSERT_EQ(plan.sideEffects.size(), 1u);
  EXPECT_EQ(plan.sideEffects[0], "a save would also change \"rdensty\" from \"0200 dpi\" to \"0200\"");
}

// A spreadsheet saves "001654" as 1654 and an empty JSON value stays
// empty: neither is an edit. Anything else that differs is one.
TEST_F(WritePlanTest, TablesReadSpreadsheetNumbersAndEmptyValuesAsTheFileHasThem) {
  WriteRules rules;
  rules.skipUnchanged = true;
  rules.numbersAsSpreadsheetsSave = true;
  const struct {
    RequestedValue request;
    bool unchanged;
    bool sameNumber;
  } cases[] = {
      {{u"density", u"200"}, true, true},
      {{u"pelwidth", u"1654"}, true, true},
      {{u"rpelcnt", u"1654,2339"}, true, true},
      {{u"density", u"0200"}, true, false},
      {{u"figid", u""}, true, false},
      {{u"density", u"300"}, false, false},
      {{u"density", u"00200"}, false, false},
      {{u"notes", u""}, true, false},  // the file holds NONE, what an empty value becomes
  };
  std::vector<std::string> records = Standard();
  records.push_back("figid:");
  for (const auto& c : cases) {
    const WritePlan plan = Plan(records, {c.request}, rules);
    const std::string what = std::string(c.request.name.begin(), c.request.name.end()) + "=" +
                             std::string(c.request.text.begin(), c.request.text.end());
    EXPECT_EQ(plan.variables[0].unchanged, c.unchanged) << what;
    EXPECT_EQ(plan.SameNumbers(), c.sameNumber ? 1u : 0u) << what;
  }
}

// The raster keeps its size, so a header that says another one no longer
// describes it.
TEST_F(WritePlanTest, ThePictureSizeChangesOnlyWhenForced) {
  for (const RequestedValue& request : {RequestedValue{u"pelwidth", u"1654"}, RequestedValue{u"pelheight", u"002340"}}) {
    WriteRules rules;
    EXPECT_NE(Plan(Standard(), {request}).variables[0].reason.find("it would change the picture size (rpelcnt)"),
              std::string::npos);
    rules.pictureSizeMayChange = true;
    EXPECT_FALSE(Plan(Standard(), {request}, rules).Refused());
  }
}

}  // namespace
