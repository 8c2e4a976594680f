// The report page as text: what a header may hold arrives escaped, the
// counts and columns come from the rows, and pictures are relative or
// inside the page. tests/tools/report_browser_test.py opens a real page in
// a browser.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/calsvar/report/html_text.h"
#include "tools/calsvar/report/report_page.h"

namespace {

using calsvar::Verdict;
using calsvar::report::ReportRow;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(ReportPage, HeaderTextFileNamesAndFindingsAreEscaped) {
  ReportRow row;
  row.path = "plans/<b>&\"o'k\".cal";
  row.thumbnail = "thumbs/a b#1.png";
  row.thumbnailWidth = 141;
  row.thumbnailHeight = 200;
  row.variables = {{"notes", "</td><script>alert(1)</script>\ttab"}, {"<srcdocid>", "x"}};
  row.verdict = Verdict::kErrors;
  row.findings.push_back({cals::conformance::Severity::kError, "bad <code>", 3, 384, std::nullopt});
  const std::string page = calsvar::report::ReportPage({"today", {"C:\\<archive>"}}, std::vector<ReportRow>{row});
  EXPECT_FALSE(Has(page, "<script>alert"));
  EXPECT_FALSE(Has(page, "<b>&"));
  EXPECT_TRUE(Has(page, "&lt;/td&gt;&lt;script&gt;alert(1)&lt;/script&gt;&#9225;tab"));
  EXPECT_TRUE(Has(page, "plans/&lt;b&gt;&amp;&quot;o&#39;k&quot;.cal"));
  EXPECT_TRUE(Has(page, "<th>&lt;srcdocid&gt;</th>"));
  EXPECT_TRUE(Has(page, "error: bad &lt;code&gt;, record 3, byte 384"));
  EXPECT_TRUE(Has(page, "C:\\&lt;archive&gt;"));
  EXPECT_TRUE(Has(page, "src=\"thumbs/a%20b%231.png\""));
}

TEST(ReportPage, CountsColumnsAndLazyThumbnailsComeFromTheRows) {
  std::vector<ReportRow> rows(3);
  rows[0].verdict = Verdict::kOk;
  rows[0].variables = {{"srcdocid", "A"}, {"rpelcnt", "1"}};
  rows[1].verdict = Verdict::kWarnings;
  rows[1].variables = {{"rpelcnt", "2"}, {"figid", "F"}};
  rows[1].thumbnail = calsvar::report::DataUrl("image/png", std::vector<std::uint8_t>{1, 2, 3});
  rows[1].thumbnailWidth = rows[1].thumbnailHeight = 10;
  rows[2].verdict = Verdict::kErrors;  // no picture
  const std::string page = calsvar::report::ReportPage({"2025-01-01 10:00", {"archive"}}, rows);
  EXPECT_TRUE(Has(page, "<p id=\"counts\">3 files: 1 ok, 1 with warnings, 1 with errors</p>"));
  EXPECT_TRUE(Has(page, "<th>srcdocid</th><th>rpelcnt</th><th>figid</th></tr>"));
  EXPECT_TRUE(Has(page, "<img loading=\"lazy\" src=\"data:image/png;base64,AQID\" width=\"10\" height=\"10\""));
  EXPECT_TRUE(Has(page, "<td class=\"picture\">no picture</td>"));
  for (const char* outside : {"http:", "https:", "=\"//", "@import", "url("}) EXPECT_FALSE(Has(page, outside)) << outside;
}

TEST(ReportPage, DataUrlsAndSheetNames) {
  using calsvar::report::DataUrl;
  const auto bytes = [](std::string text) { return std::vector<std::uint8_t>(text.begin(), text.end()); };
  EXPECT_EQ(DataUrl("t", bytes("")), "data:t;base64,");
  EXPECT_EQ(DataUrl("t", bytes("M")), "data:t;base64,TQ==");
  EXPECT_EQ(DataUrl("t", bytes("Ma")), "data:t;base64,TWE=");
  EXPECT_EQ(DataUrl("t", bytes("Man\xFF")), "data:t;base64,TWFu/w==");
  struct Sheet {
    double width, height;
    const char* name;
  };
  for (const Sheet& s : {Sheet{8.27, 11.69, "A4"}, Sheet{11.69, 8.27, "A4"}, Sheet{46.8, 33.1, "A0"},
                         Sheet{22, 34, "ANSI D"}, Sheet{8.64, 11.0, "ANSI A"}, Sheet{10, 10, ""}}) {
    EXPECT_EQ(calsvar::report::SheetName(s.width, s.height), s.name) << s.width << " x " << s.height;
  }
}

}  // namespace
