// Save writes only over the header that its object loaded or last wrote:
// a header changed on disk in between, by another program or another
// opened-file object, is refused with E_FAIL and nothing is written; the
// same bytes written again and a changed raster are no change of header.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "plugin/result_codes.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::kParsed;
using testing_support::ReadBinaryFile;
using testing_support::Record;
using testing_support::WriteBinaryFile;

// What happens between the load (with a change made) and the save.
enum class Between {
  kAnotherObjectSaved,
  kAnotherProgramChangedARecord,
  kBytesBehindTheRecordsChanged,
  kSameBytesWrittenAgain,
  kRasterChanged,
  kThisObjectSavedTwice,
};

struct Conflict {
  const char* name;
  Between between;
  HRESULT save;
};

void PrintTo(const Conflict& conflict, std::ostream* out) { *out << conflict.name; }

const Conflict kConflicts[] = {
    {"AnotherObjectSaved", Between::kAnotherObjectSaved, E_FAIL},
    {"AnotherProgramChangedARecord", Between::kAnotherProgramChangedARecord, E_FAIL},
    {"BytesBehindTheRecordsChanged", Between::kBytesBehindTheRecordsChanged, E_FAIL},
    {"SameBytesWrittenAgain", Between::kSameBytesWrittenAgain, S_OK},
    {"RasterChanged", Between::kRasterChanged, S_OK},
    {"ThisObjectSavedTwice", Between::kThisObjectSavedTwice, S_OK},
};

class SaveAfterChangeOnDisk : public CalsEnvironmentTest, public testing::WithParamInterface<Conflict> {
 protected:
  // Brings the change about; returns what the file holds afterwards.
  std::string Change(Between between, const std::wstring& path, IOrvFileNavigator* file) {
    std::string bytes = ReadBinaryFile(path);
    switch (between) {
      case Between::kAnotherObjectSaved: {
        auto other = Open(path);
        EXPECT_EQ(S_OK, WriteString(other.get(), L"docls", L"SET BY ANOTHER WINDOW"));
        EXPECT_EQ(S_OK, other->Save());
        return ReadBinaryFile(path);
      }
      case Between::kAnotherProgramChangedARecord:
        bytes.replace(9 * 128, 128, Record("rdensty: 0400"));
        break;
      case Between::kBytesBehindTheRecordsChanged:
        bytes.replace(15 * 128, 128, Record("trailer: written by a scanner"));
        break;
      case Between::kSameBytesWrittenAgain:
        break;
      case Between::kRasterChanged:
        bytes.back() = static_cast<char>(~bytes.back());
        break;
      case Between::kThisObjectSavedTwice:
        for (const wchar_t* value : {L"FIRST", L"SECOND"}) {
          EXPECT_EQ(S_OK, WriteString(file, L"figid", value));
          EXPECT_EQ(S_OK, file->Save());
        }
        EXPECT_EQ(Record("figid: SECOND"), ReadBinaryFile(path).substr(3 * 128, 128));
        return ReadBinaryFile(path);
    }
    EXPECT_TRUE(WriteBinaryFile(path, bytes));
    return bytes;
  }
};

TEST_P(SaveAfterChangeOnDisk, WritesOnlyOverItsOwnHeader) {
  const Conflict& conflict = GetParam();
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  const std::string before = Change(conflict.between, path, file.get());
  ASSERT_EQ(S_OK, WriteString(file.get(), L"srcgph", L"SCANNER 7"));
  EXPECT_EQ(conflict.save, file->Save());

  std::string expected = before;
  if (SUCCEEDED(conflict.save)) {
    expected.replace(4 * 128, 128, Record("srcgph: SCANNER 7"));
  } else {
    // The change is kept, and the next Save refuses again.
    EXPECT_EQ(E_FAIL, file->Save());
  }
  EXPECT_EQ(expected, ReadBinaryFile(path));
}

std::string ConflictName(const testing::TestParamInfo<Conflict>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(EachChange, SaveAfterChangeOnDisk, testing::ValuesIn(kConflicts), ConflictName);

// Four windows on one file, each changing its own record and saving, over
// and over. A save that meets another's header fails; the window opens the
// file again (as a user would on the error) and repeats its change. No
// change that was reported saved may be lost.
TEST_F(CalsEnvironmentTest, FourThreadsSavingOneFileLoseNoSavedChange) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 200;
  constexpr int kMostTries = 2000;  // a livelock fails the test instead of hanging it
  const std::array<const wchar_t*, kThreads> records = {L"dstdocid", L"txtfilid", L"figid", L"srcgph"};
  // Only the four records: each record of a load costs three reads of the
  // tag configuration, most of a load's time under Wine.
  const std::string original =
      testing_support::CalsFile({"dstdocid: NONE", "txtfilid: NONE", "figid: NONE", "srcgph: NONE"});
  const std::wstring path = MakeFile(original);

  struct Outcome {
    std::wstring lastSaved;
    int refusedSaves = 0;
    int refusedOpens = 0;
    HRESULT unexpected = S_OK;
  };
  std::array<Outcome, kThreads> outcomes;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      testing_support::ComApartment apartment(COINIT_MULTITHREADED);
      Outcome& outcome = outcomes[static_cast<std::size_t>(t)];
      UniqueBstr bstrPath(SysAllocString(path.c_str()));
      for (int round = 0; round < kRounds && outcome.unexpected == S_OK; ++round) {
        const std::wstring value = L"T" + std::to_wstring(t) + L"-" + std::to_wstring(round);
        for (int tries = 0;; ++tries) {
          if (tries == kMostTries) {
            outcome.unexpected = E_ABORT;
            break;
          }
          ComPtr<IOrvFileNavigator> file;
          HRESULT hr = format_->OpenFile(bstrPath.get(), 0, file.put());
          if (hr == MIROTEX_E_CANNOT_OPEN) {  // another thread is saving
            ++outcome.refusedOpens;
            continue;
          }
          LONG accepted = 0;
          const wchar_t* record = records[static_cast<std::size_t>(t)];
          if (SUCCEEDED(hr)) hr = WriteString(file.get(), record, value.c_str(), &accepted);
          if (SUCCEEDED(hr) && accepted != 1) hr = E_UNEXPECTED;
          if (SUCCEEDED(hr)) hr = file->Save();
          if (hr == E_FAIL) {
            ++outcome.refusedSaves;
            continue;
          }
          if (hr == S_OK) outcome.lastSaved = value;
          if (hr != S_OK) outcome.unexpected = hr;
          break;
        }
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::string expected = original;
  for (int t = 0; t < kThreads; ++t) {
    const Outcome& outcome = outcomes[static_cast<std::size_t>(t)];
    ASSERT_EQ(S_OK, outcome.unexpected) << "thread " << t;
    const std::wstring name = records[static_cast<std::size_t>(t)];
    const std::string text = std::string(name.begin(), name.end()) + ": " +
                             std::string(outcome.lastSaved.begin(), outcome.lastSaved.end());
    expected.replace(static_cast<std::size_t>(t) * 128, 128, Record(text));
    RecordProperty("thread" + std::to_string(t) + "RefusedSaves", outcome.refusedSaves);
    RecordProperty("thread" + std::to_string(t) + "RefusedOpens", outcome.refusedOpens);
  }
  const std::string after = ReadBinaryFile(path);
  EXPECT_EQ(original.size(), after.size());
  EXPECT_EQ(original.substr(kParsed), after.substr(kParsed)) << "only records 1 to 11 are ever written";
  EXPECT_EQ(expected.substr(0, kParsed), after.substr(0, kParsed));
}

}  // namespace
