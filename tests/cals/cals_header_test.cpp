// LoadHeader and SaveHeader against files held in memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cals/cals_header.h"
#include "tests/support/header_rig.h"

namespace {

using testing_support::Bytes;
using testing_support::MakeHeaderFile;
using testing_support::PaddedRecord;

const std::vector<std::string> kStandardRecords = {
    "srcdocid: DRW-1001", "dstdocid: NONE",         "txtfilid: NONE",         "figid: NONE",
    "srcgph: NONE",       "doccls: NONE",           "rtype: 1",               "rorient: 000,270",
    "rpelcnt: 001728,002200", "rdensty: 0200",      "notes: NONE"};

class CalsHeaderTest : public ::testing::Test {
 protected:
  static constexpr char16_t kPath[] = u"C:\\drawings\\a.cal";

  void Put(Bytes bytes) { rig.files.files[kPath] = std::move(bytes); }
  const Bytes& File() { return rig.files.files[kPath]; }
  std::string Slot(std::size_t i) {
    const auto begin = File().begin() + static_cast<std::ptrdiff_t>(i * cals::kRecordSize);
    return std::string(begin, begin + cals::kRecordSize);
  }
  std::vector<std::u16string> TagNames() const {
    std::vector<std::u16string> names;
    for (const auto& tag : header.tagFinder.tags()) names.push_back(tag.name);
    return names;
  }

  testing_support::HeaderRig rig;
  cals::CalsHeader header{rig.platform};
};

TEST_F(CalsHeaderTest, AStandardHeaderGivesElevenTagsAndThePictureSize) {
  Put(MakeHeaderFile(kStandardRecords, ' ', 500));
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  EXPECT_EQ(TagNames(), (std::vector<std::u16string>{u"srcdocid", u"dstdocid", u"txtfilid", u"figid", u"srcgph",
                                                     u"doccls", u"rtype", u"rorient", u"rpelcnt", u"width",
                                                     u"height", u"colordepth", u"rdensty", u"notes"}));
  EXPECT_EQ(header.path, kPath);
  EXPECT_EQ(header.tagFinder.iniPath(), testing_support::kIniPath);
  EXPECT_EQ(rig.files.openHandles(), 0);
}

TEST_F(CalsHeaderTest, SavingWithoutAChangeLeavesTheFileAlone) {
  Put(MakeHeaderFile({"SrcDocId:   unnormalised"}, ' ', 10));
  const Bytes before = File();
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  EXPECT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_EQ(rig.files.updateOpens(), 0);
  EXPECT_EQ(File(), before);
}

TEST_F(CalsHeaderTest, AChangeRewritesTheFirstElevenRecordsOnly) {
  std::vector<std::string> records = kStandardRecords;
  records.resize(16);
  records[11] = "extra: records 12 to 16 are never parsed nor written";
  records[15] = "last: record";
  Put(MakeHeaderFile(records, ' ', 3000));
  const Bytes before = File();

  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"NOTES", u"Rev B"));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_FALSE(header.dirty);

  Bytes expected = before;
  const std::string notes = PaddedRecord("notes: Rev B");
  std::copy(notes.begin(), notes.end(), expected.begin() + 10 * cals::kRecordSize);
  EXPECT_EQ(File(), expected);
  EXPECT_EQ(rig.files.openHandles(), 0);

  // A second save without a change does not open the file again.
  ASSERT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_EQ(rig.files.updateOpens(), 1);
}

TEST_F(CalsHeaderTest, LoadReportsWhyAFileCannotBeRead) {
  const std::pair<std::size_t, cals::Status> cases[] = {
      {0, cals::kTooShort},    {895, cals::kTooShort},  {896, cals::kTooShort},
      {1000, cals::kTooShort}, {2047, cals::kTooShort}, {2048, cals::kOk}};
  for (const auto& [size, status] : cases) {
    Bytes bytes = MakeHeaderFile(kStandardRecords);
    bytes.resize(size);
    Put(bytes);
    cals::CalsHeader fresh(rig.platform);
    EXPECT_EQ(fresh.LoadHeader(kPath), status) << size << " bytes";
    EXPECT_EQ(rig.files.openHandles(), 0);
  }
  EXPECT_EQ(header.LoadHeader(u"C:\\missing.cal"), cals::kCannotOpen);
  EXPECT_EQ(header.path, u"C:\\missing.cal");  // kept even when the open fails
  EXPECT_EQ(header.LoadHeader(u""), cals::kCannotOpen);
}

TEST_F(CalsHeaderTest, WithoutASharedFolderEvenAValidFileFails) {
  rig.installation.set_folder(u"");
  Put(MakeHeaderFile(kStandardRecords));
  EXPECT_EQ(header.LoadHeader(kPath), cals::kFail);
  EXPECT_TRUE(header.tagFinder.tags().empty());
  EXPECT_EQ(rig.files.openHandles(), 0);
}

TEST_F(CalsHeaderTest, ARefusedRecordFailsTheLoadAndKeepsTheTagsBeforeIt) {
  rig.Configure(u"[rtype]\nTagnames=a\nTagpositions=5-3");
  Put(MakeHeaderFile(kStandardRecords));
  EXPECT_EQ(header.LoadHeader(kPath), cals::kFail);
  EXPECT_EQ(header.tagFinder.tags().size(), 6u);
  EXPECT_EQ(rig.files.openHandles(), 0);
}

TEST_F(CalsHeaderTest, TheConfigurationComesFromTheSharedFolder) {
  rig.Configure(u"[RPELCNT]\nReadonly=1\nTagnames=PelX;PelY\nTagpositions=1-6;8-13");
  Put(MakeHeaderFile(kStandardRecords));
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  std::u16string text;
  ASSERT_TRUE(header.tagFinder.GetTagValue(u"pely", text));
  EXPECT_EQ(text, u"002200");
  EXPECT_FALSE(header.tagFinder.SetTagValue(u"pelx", u"1"));
}

TEST_F(CalsHeaderTest, RecordsAreWrittenBackNormalisedAndClosedUp) {
  Put(MakeHeaderFile({"SrcDocId:   ABC      ", "rtype: 1", "", std::string("ab\0: c", 6), "Notes :x",
                      "no colon here", "rdensty: 0200"}));
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  EXPECT_EQ(TagNames(), (std::vector<std::u16string>{u"srcdocid", u"rtype", u"notes", u"rdensty"}));
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"rtype", u"2"));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_EQ(Slot(0), PaddedRecord("srcdocid: ABC"));
  EXPECT_EQ(Slot(1), PaddedRecord("rtype: 2"));
  EXPECT_EQ(Slot(2), PaddedRecord("notes: x"));
  EXPECT_EQ(Slot(3), PaddedRecord("rdensty: 0200"));
  for (std::size_t i = 4; i < 11; ++i) EXPECT_EQ(Slot(i), PaddedRecord("")) << "slot " << i;
}

TEST_F(CalsHeaderTest, TheByteAtOffset895PadsEveryRecord) {
  Bytes bytes = MakeHeaderFile({"srcdocid: A", "notes: B"});
  bytes[895] = '#';  // inside the blank seventh record
  Put(bytes);
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  EXPECT_EQ(header.fillChar, '#');
  EXPECT_EQ(header.tagFinder.fillChar(), '#');
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"notes", u"C"));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_EQ(Slot(0), PaddedRecord("srcdocid: A", '#'));
  EXPECT_EQ(Slot(1), PaddedRecord("notes: C", '#'));
  for (std::size_t i = 2; i < 11; ++i) EXPECT_EQ(Slot(i), PaddedRecord("", '#')) << "slot " << i;
  EXPECT_EQ(Slot(11), PaddedRecord(""));
}

TEST_F(CalsHeaderTest, AFullRecordLeavesTheNextSlotToTheFill) {
  Put(MakeHeaderFile({"notes: short", "srcdocid: A"}));
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"notes", std::u16string(130, u'v')));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_EQ(Slot(0), "notes: " + std::string(121, 'v'));
  EXPECT_EQ(Slot(1), PaddedRecord("srcdocid: A"));
  EXPECT_EQ(Slot(2), PaddedRecord(""));
}

TEST_F(CalsHeaderTest, ASaveThatFailsKeepsTheChangePending) {
  struct Failure {
    const char* what;
    void (*arrange)(testing_support::MemoryFiles&);
    cals::Status status;
  };
  const Failure failures[] = {
      {"open", [](testing_support::MemoryFiles& f) { f.failOpenForUpdate = true; }, cals::kFail},
      {"short write", [](testing_support::MemoryFiles& f) { f.writeBudget = 100; }, cals::kWriteFault},
      {"nothing written", [](testing_support::MemoryFiles& f) { f.writeBudget = 0; }, cals::kWriteFault},
      {"flush on close", [](testing_support::MemoryFiles& f) { f.failClose = true; }, cals::kWriteFault}};
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.what);
    testing_support::HeaderRig local;
    local.files.files[kPath] = MakeHeaderFile(kStandardRecords);
    cals::CalsHeader file(local.platform);
    ASSERT_EQ(file.LoadHeader(kPath), cals::kOk);
    ASSERT_TRUE(file.tagFinder.SetTagValue(u"notes", u"changed"));
    file.dirty = true;

    failure.arrange(local.files);
    EXPECT_EQ(file.SaveHeader(), failure.status);
    EXPECT_TRUE(file.dirty);
    EXPECT_EQ(local.files.openHandles(), 0);

    local.files.failOpenForUpdate = false;
    local.files.writeBudget = SIZE_MAX;
    local.files.failClose = false;
    EXPECT_EQ(file.SaveHeader(), cals::kOk);
    EXPECT_FALSE(file.dirty);
  }
}

TEST_F(CalsHeaderTest, AFileCutBelowAHeaderSinceLoadingIsNotWritten) {
  for (const std::size_t length : {std::size_t{0}, std::size_t{100}, std::size_t{1408}, std::size_t{2047}}) {
    SCOPED_TRACE(length);
    testing_support::HeaderRig local;
    local.files.files[kPath] = MakeHeaderFile(kStandardRecords);
    cals::CalsHeader file(local.platform);
    ASSERT_EQ(file.LoadHeader(kPath), cals::kOk);
    ASSERT_TRUE(file.tagFinder.SetTagValue(u"notes", u"changed"));
    file.dirty = true;

    local.files.files[kPath].resize(length);
    const auto before = local.files.files[kPath];
    EXPECT_EQ(file.SaveHeader(), cals::kFail);
    EXPECT_EQ(local.files.files[kPath], before);
    EXPECT_TRUE(file.dirty);
    EXPECT_EQ(local.files.openHandles(), 0);
  }
}

// Another writer's change since the load is never written over, also
// after a save whose write stopped part-way (the file then holds the start
// of that write, then the kept bytes).
TEST_F(CalsHeaderTest, AHeaderChangedSinceItWasLoadedIsNotWrittenOver) {
  constexpr std::size_t kNoChange = SIZE_MAX;
  struct Case {
    const char* what;
    std::size_t shortWrite;  // bytes a failed save wrote first; 0: no such save
    std::size_t changedByte;
    cals::Status status;
  };
  const Case cases[] = {
      {"a record", 0, 3 * cals::kRecordSize + 10, cals::kFail},
      {"record 12", 0, 1500, cals::kFail},
      {"the raster", 0, 2100, cals::kOk},
      {"nothing", 0, kNoChange, cals::kOk},
      {"behind a short write", 100, 1500, cals::kFail},
      {"inside a short write", 100, 12, cals::kFail},
      {"nothing after a short write", 100, kNoChange, cals::kOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testing_support::HeaderRig local;
    local.files.files[kPath] = MakeHeaderFile(kStandardRecords, ' ', 100);
    cals::CalsHeader file(local.platform);
    ASSERT_EQ(file.LoadHeader(kPath), cals::kOk);
    ASSERT_TRUE(file.tagFinder.SetTagValue(u"srcdocid", u"CHANGED BY THIS OBJECT"));
    file.dirty = true;
    if (c.shortWrite != 0) {
      local.files.writeBudget = c.shortWrite;
      ASSERT_EQ(file.SaveHeader(), cals::kWriteFault);
      local.files.writeBudget = SIZE_MAX;
    }
    Bytes& onDisk = local.files.files[kPath];
    if (c.changedByte != kNoChange) onDisk[c.changedByte] = 'Z';
    const Bytes before = onDisk;

    EXPECT_EQ(file.SaveHeader(), c.status);
    EXPECT_EQ(file.dirty, c.status != cals::kOk);
    if (c.status != cals::kOk) {
      EXPECT_EQ(onDisk, before);
    } else {
      EXPECT_EQ(std::string(onDisk.begin(), onDisk.begin() + 128), PaddedRecord("srcdocid: CHANGED BY THIS OBJECT"));
      EXPECT_TRUE(std::equal(before.begin() + cals::kWrittenSize, before.end(), onDisk.begin() + cals::kWrittenSize));
    }
    EXPECT_EQ(local.files.openHandles(), 0);
  }
}

TEST_F(CalsHeaderTest, AFileOfExactlyOneHeaderIsWritten) {
  auto bytes = MakeHeaderFile(kStandardRecords);
  bytes.resize(cals::kHeaderSize);
  Put(bytes);
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"notes", u"changed"));
  header.dirty = true;
  EXPECT_EQ(header.SaveHeader(), cals::kOk);
  EXPECT_EQ(File().size(), cals::kHeaderSize);
}

TEST_F(CalsHeaderTest, LoadingClearsTheDirtyMark) {
  Put(MakeHeaderFile(kStandardRecords));
  header.dirty = true;
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  EXPECT_FALSE(header.dirty);
}

TEST_F(CalsHeaderTest, ASavedHeaderLoadsBackToTheSameTags) {
  rig.Configure(u"[rorient]\nTagnames=a;b\nTagpositions=1-3;5-7");
  Put(MakeHeaderFile(kStandardRecords, ' ', 64));
  ASSERT_EQ(header.LoadHeader(kPath), cals::kOk);
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"b", u"90"));
  ASSERT_TRUE(header.tagFinder.SetTagValue(u"srcdocid", u"\u00C9t\u00E9 \u20AC"));
  header.dirty = true;
  ASSERT_EQ(header.SaveHeader(), cals::kOk);

  cals::CalsHeader reloaded(rig.platform);
  ASSERT_EQ(reloaded.LoadHeader(kPath), cals::kOk);
  ASSERT_EQ(reloaded.tagFinder.tags().size(), header.tagFinder.tags().size());
  for (std::size_t i = 0; i < reloaded.tagFinder.tags().size(); ++i) {
    EXPECT_EQ(reloaded.tagFinder.tags()[i].name, header.tagFinder.tags()[i].name);
    EXPECT_EQ(reloaded.tagFinder.tags()[i].value, header.tagFinder.tags()[i].value);
  }
}

}  // namespace
