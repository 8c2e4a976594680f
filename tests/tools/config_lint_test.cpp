// The configuration check must judge every section exactly as the
// plug-in's AddRecord does, and say why in words an administrator can act
// on.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "cals/cp1252_codec.h"
#include "cals/tag_finder.h"
#include "tools/calsvar/configuration/config_lint.h"

namespace {

using calsvar::LintTagConfiguration;
using calsvar::ProfileDocument;
using calsvar::Severity;

// The plug-in's own tag model, reading its configuration from the same
// document the check reads.
class DocumentTagConfig final : public cals::TagConfig {
 public:
  explicit DocumentTagConfig(const ProfileDocument& doc) : doc_(doc) {}
  int ReadInt(const std::u16string&, const std::u16string& section, const std::u16string& key, int dflt) override {
    return doc_.ReadInt(section, key, dflt);
  }
  std::u16string ReadString(const std::u16string&, const std::u16string& section, const std::u16string& key,
                            const std::u16string& dflt, std::size_t capacity) override {
    return doc_.ReadString(section, key, dflt, capacity);
  }

 private:
  const ProfileDocument& doc_;
};

bool PluginAccepts(const ProfileDocument& doc, const std::u16string& record) {
  DocumentTagConfig config(doc);
  cals::HeaderPlatform platform{nullptr, nullptr, &config, nullptr};
  cals::TagFinder finder(platform);
  return finder.AddRecord(record, u"001728,002200");
}

std::vector<calsvar::Finding> Failures(const calsvar::LintReport& report) {
  std::vector<calsvar::Finding> out;
  for (const auto& f : report.findings) {
    if (f.severity == Severity::kFailsLoad) out.push_back(f);
  }
  return out;
}

std::string AllReasons(const calsvar::LintReport& report) {
  std::string all;
  for (const auto& f : report.findings) all += std::to_string(f.line) + " " + f.entry + ": " + f.reason + "\n";
  return all;
}

TEST(ConfigLint, BundledConfigurationHasNoFindingsAndItsCommentsChangeNothing) {
  std::ifstream in(MIROTEX_SOURCE_DIR "/samples/install/FileFormats/Mirotex.ini", std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  ASSERT_FALSE(bytes.str().empty());
  const auto text = calsvar::DecodeProfileBytes(bytes.str(), cals::Cp1252Codec());
  const auto doc = ProfileDocument::Parse(text);
  const auto report = LintTagConfiguration(doc);
  EXPECT_TRUE(report.findings.empty()) << AllReasons(report);
  EXPECT_EQ(report.sectionsChecked, 4);

  // The same file without its comment lines reads the same for every key.
  std::u16string stripped;
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const auto end = rest.find(u'\n');
    const auto line = rest.substr(0, end);
    if (line.empty() || line[0] != u';') (stripped += line) += u'\n';
    rest.remove_prefix(end == std::u16string_view::npos ? rest.size() : end + 1);
  }
  const auto bare = ProfileDocument::Parse(stripped);
  for (const char16_t* section : {u"rtype", u"rorient", u"rpelcnt", u"rdensty", u"notes"}) {
    for (const char16_t* key : {u"Readonly", u"Tagnames", u"Tagpositions"}) {
      EXPECT_EQ(doc.ReadString(section, key, u"-", 32767), bare.ReadString(section, key, u"-", 32767));
    }
  }
}

TEST(ConfigLint, NamesTheLineEntryAndReasonOfARefusedRecord) {
  const auto doc = ProfileDocument::Parse(u"[rorient]\nTagnames=a;b\nTagpositions=1-3;5-3\n");
  const auto failures = Failures(LintTagConfiguration(doc));
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].line, 3);
  EXPECT_EQ(failures[0].section, u"rorient");
  EXPECT_NE(failures[0].entry.find("entry 2 \"5-3\""), std::string::npos) << failures[0].entry;
  EXPECT_NE(failures[0].reason.find("starts after it ends (first 5, last 3)"), std::string::npos);
  EXPECT_NE(failures[0].reason.find("every file with a \"rorient\" record will fail to open"), std::string::npos);
}

TEST(ConfigLint, ExplainsEachKindOfMalformedRange) {
  const auto reasonFor = [](const std::u16string& range) {
    const auto doc = ProfileDocument::Parse(u"[rpelcnt]\nTagnames=a\nTagpositions=" + range + u"\n");
    const auto failures = Failures(LintTagConfiguration(doc));
    return failures.empty() ? std::string("accepted") : failures[0].reason;
  };
  EXPECT_NE(reasonFor(u"120-120").find("ends at position 120, beyond the room of the record"), std::string::npos);
  EXPECT_NE(reasonFor(u"120-120").find("at most 119 value characters"), std::string::npos);
  EXPECT_EQ(reasonFor(u"119-119"), "accepted");
  EXPECT_NE(reasonFor(u"5").find("only a first position (5)"), std::string::npos);
  EXPECT_NE(reasonFor(u"5 -7").find("a blank stands between"), std::string::npos);
  EXPECT_NE(reasonFor(u"abc").find("does not start with a number"), std::string::npos);
  EXPECT_NE(reasonFor(u"abc").find("comment"), std::string::npos);
  EXPECT_NE(reasonFor(u";1-2").find("the entry is empty"), std::string::npos);
  EXPECT_NE(reasonFor(u"-1--1").find("-1 to -1"), std::string::npos);
  EXPECT_EQ(reasonFor(u" 5- 7"), "accepted");
  EXPECT_EQ(reasonFor(u"-5"), "accepted");  // first -5, last -1: odd, but the plug-in takes it
}

TEST(ConfigLint, JudgesEverySectionAsThePluginDoes) {
  // A record name of 126 characters leaves no room for any value.
  const std::u16string longName(126, u'n');
  const std::u16string text =
      u"[ok]\nTagnames=a;b\nTagpositions=1-3;5-7\n"
      u"[reversed]\nTagnames=a\nTagpositions=5-3\n"
      u"[ignoredbad]\nTagnames=a\nTagpositions=1-2;9-1\n"
      u"[walkedbad]\nTagnames=a;b\nTagpositions=1-2;9-1\n"
      u"[nonames]\nTagpositions=9-1\n"
      u"[quoted]\nTagnames=\"a;b\"\nTagpositions='1-2;3-4'\n"
      u"[comment]\nTagnames=a;b;c\nTagpositions=1-2;3-4; see notes\n"
      u"[Upper]\nTagnames=x\nTagpositions=1-999\n"
      u"[onlyfirst]\nTagnames=x\nTagpositions=7\n"
      u"[zero]\nTagnames=x\nTagpositions=0\n"
      u"[noequals]\nTagpositions\nTagnames=x\n"
      u"[dupkey]\nTagnames=x\nTagpositions=1-2\nTagpositions=2-1\n"
      u"[" + longName + u"]\nTagnames=x\nTagpositions=1-1\n";
  const auto doc = ProfileDocument::Parse(text);
  const auto report = LintTagConfiguration(doc);
  std::set<std::u16string> failing;
  for (const auto& f : Failures(report)) failing.insert(f.section);
  for (std::size_t i = 1; i < doc.sections().size(); ++i) {
    const std::u16string& name = doc.sections()[i].name;
    EXPECT_EQ(failing.count(name) == 0, PluginAccepts(doc, name)) << AllReasons(report);
  }
  EXPECT_EQ(failing, (std::set<std::u16string>{u"reversed", u"walkedbad", u"comment", u"Upper", u"onlyfirst", u"zero", longName}));
  EXPECT_EQ(report.FailingSections(), 7);
}

TEST(ConfigLint, WarnsAboutWhatIsIgnoredOrLooksUnintended) {
  const auto doc = ProfileDocument::Parse(
      u"stray=1\n"                                          // 1
      u"[rorient]\n"                                        // 2
      u"Tagnames=a;b;c\n"                                   // 3
      u"Tagpositions=1-3;2-5\n"                             // 4
      u"Readonly=2\n"                                       // 5
      u"Tagposition=1-1\n"                                  // 6
      u"[rpelcnt]\n"                                        // 7
      u"Tagnames=pelwidth; pelheight;;width\n"              // 8
      u"Tagpositions=1-6;8-13;14-14;15-15\n"                // 9
      u"Readonly=yes\n"                                     // 10
      u"Readonly=1\n"                                       // 11
      u"[RORIENT]\n"                                        // 12
      u"Readonly=1\n"                                       // 13
      u"[]\n"                                               // 14
      u"[rdensty\n");                                       // 15
  const auto report = LintTagConfiguration(doc);
  EXPECT_EQ(report.FailingSections(), 0) << AllReasons(report);
  const std::string all = AllReasons(report);
  const auto expect = [&](int line, const std::string& words) {
    EXPECT_NE(all.find(std::to_string(line) + " "), std::string::npos) << all;
    bool found = false;
    for (const auto& f : report.findings) found |= f.line == line && f.reason.find(words) != std::string::npos;
    EXPECT_TRUE(found) << "line " << line << ": " << words << "\n" << all;
  };
  expect(1, "before the first section belongs to no record");
  expect(3, "ignored: \"c\"");
  expect(4, "overlap");
  expect(5, "only 1 makes it read-only");
  expect(6, "unknown key");
  expect(8, "blanks around it");
  expect(8, "the name is empty");
  expect(8, "may hide the read-only variable");
  expect(7, "the host could change the picture size");
  expect(10, "stays writable");
  expect(11, "never read; the one at line 10 counts");
  expect(12, "second section of this name is never read; the one at line 2 counts");
  expect(14, "a section without a name is never read");
  expect(15, "no \"]\"");
}

TEST(ConfigLint, WhyRecordIsRefusedFindsTheSectionOfARecordName) {
  const auto doc = ProfileDocument::Parse(u"[RPELCNT]\nTagnames=w\nTagpositions=8-1\n");
  EXPECT_FALSE(calsvar::WhyRecordIsRefused(doc, u"  rpelcnt").empty());
  EXPECT_TRUE(calsvar::WhyRecordIsRefused(doc, u"rdensty").empty());
}

}  // namespace
