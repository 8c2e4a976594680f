// Save after the file has changed behind the opened-file object's back,
// between the load and the save, as files from outside suppliers do: deleted,
// cut short, replaced, made read-only, held open by another handle.
// Whatever happened, Save writes nothing but the header records, never makes
// a file longer, never puts a header on a file that no longer holds one, and
// keeps the change for the next Save whenever it did not write it.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <ostream>
#include <string>

#include "base/unique_handle.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

using cals_test::CalsEnvironmentTest;
using cals_test::kParsed;
using testing_support::ReadBinaryFile;
using testing_support::Record;
using testing_support::WriteBinaryFile;

// The change every case saves: record 5 of cals_test::CalsFile().
constexpr wchar_t kChangedTag[] = L"srcgph";
constexpr wchar_t kChangedValue[] = L"SCANNER 7";
constexpr char kChangedRecordText[] = "srcgph: SCANNER 7";
constexpr std::size_t kChangedRecord = 4;

enum class Kind {
  kDeleted,
  kTruncated,
  kReplacedByLongerCals,
  kReplacedByShortFile,
  kReplacedByFolder,
  kReadOnly,
  kHeldOpen,  // another handle with `access` and `share`
};

struct Fault {
  const char* name;
  Kind kind;
  HRESULT save;            // what Save answers while the fault lasts
  std::size_t length = 0;  // kTruncated: what is left of the file
  DWORD access = 0;        // kHeldOpen
  DWORD share = 0;         // kHeldOpen
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

const Fault kFaults[] = {
    {"Deleted", Kind::kDeleted, E_FAIL},
    {"TruncatedToNothing", Kind::kTruncated, E_FAIL, 0},
    {"TruncatedTo1000Bytes", Kind::kTruncated, E_FAIL, 1000},
    {"TruncatedToTheRecordsSaveWrites", Kind::kTruncated, E_FAIL, kParsed},
    {"TruncatedToOneByteShortOfAHeader", Kind::kTruncated, E_FAIL, 2047},
    // Another drawing now lies at the path: it gets the header records,
    // which is what saving to a path means; its raster stays its own.
    {"ReplacedByALongerCalsFile", Kind::kReplacedByLongerCals, S_OK},
    {"ReplacedByAFileShorterThanAHeader", Kind::kReplacedByShortFile, E_FAIL},
    {"ReplacedByAFolder", Kind::kReplacedByFolder, E_FAIL},
    {"MadeReadOnly", Kind::kReadOnly, E_FAIL},
    {"HeldOpenForWritingSharingReadAndWrite", Kind::kHeldOpen, E_FAIL, 0, GENERIC_WRITE,
     FILE_SHARE_READ | FILE_SHARE_WRITE},
    {"HeldOpenForWritingSharingNothing", Kind::kHeldOpen, E_FAIL, 0, GENERIC_WRITE, 0},
    // A viewer that lets others write does not stand in the way; one that
    // denies writing (as loading a header does) does.
    {"HeldOpenForReadingSharingReadAndWrite", Kind::kHeldOpen, S_OK, 0, GENERIC_READ,
     FILE_SHARE_READ | FILE_SHARE_WRITE},
    {"HeldOpenForReadingDenyingWrite", Kind::kHeldOpen, E_FAIL, 0, GENERIC_READ, FILE_SHARE_READ},
};

std::string FaultName(const testing::TestParamInfo<Fault>& info) { return info.param.name; }

// A different drawing, longer than the original, with a raster of its own.
std::string OtherCalsFile() {
  std::string file = testing_support::CalsFile({"srcdocid: OTHER-0815", "dstdocid: SUPPLIER", "rtype: 1",
                                                "rorient: 000,090", "rpelcnt: 004000,003000", "rdensty: 0400"});
  for (int i = 0; i < 5000; ++i) file.push_back(static_cast<char>(255 - i % 251));
  return file;
}

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<HANDLE, HandleCloser>;

UniqueFileHandle OpenHandle(const std::wstring& path, DWORD access, DWORD share) {
  HANDLE handle = CreateFileW(path.c_str(), access, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return UniqueFileHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// What lies at a path: nothing, a folder, or a file's bytes.
struct PathState {
  enum { kNothing, kFolder, kFile } what = kNothing;
  std::string bytes;

  friend bool operator==(const PathState&, const PathState&) = default;
  friend void PrintTo(const PathState& state, std::ostream* out) {
    if (state.what == kNothing) *out << "nothing";
    if (state.what == kFolder) *out << "a folder";
    if (state.what == kFile) *out << "a file of " << state.bytes.size() << " bytes";
  }
};

PathState FileOf(std::string bytes) { return {PathState::kFile, std::move(bytes)}; }

// What the path holds now; nullopt while a fault keeps the file from being
// read (a handle that shares nothing).
std::optional<PathState> LookAt(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return PathState{};
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathState{PathState::kFolder, {}};
  UniqueFileHandle file = OpenHandle(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size()))
    return std::nullopt;
  return FileOf(std::move(bytes));
}

// One fault at one path: brought about by the constructor, taken away by
// Remove() or at the end of the test, so that the folder can be cleaned.
class InjectedFault {
 public:
  InjectedFault(const Fault& fault, std::wstring path, std::string original)
      : fault_(fault), path_(std::move(path)), original_(std::move(original)) {
    injected_ = Inject();
  }
  ~InjectedFault() { Remove(); }
  InjectedFault(const InjectedFault&) = delete;
  InjectedFault& operator=(const InjectedFault&) = delete;

  bool injected() const { return injected_; }

  // What the fault left at the path, before anyone saved.
  PathState Expected() const {
    switch (fault_.kind) {
      case Kind::kDeleted: return PathState{};
      case Kind::kTruncated: return FileOf(original_.substr(0, fault_.length));
      case Kind::kReplacedByLongerCals: return FileOf(OtherCalsFile());
      case Kind::kReplacedByShortFile: return FileOf(OtherCalsFile().substr(0, 2000));
      case Kind::kReplacedByFolder: return PathState{PathState::kFolder, {}};
      default: return FileOf(original_);
    }
  }

  // The original file back at the path, writable, closed by everyone
  // else. Replacements stay: they are the file now.
  bool Remove() {
    if (!injected_ || removed_) return true;
    removed_ = true;
    holder_.Reset();
    switch (fault_.kind) {
      case Kind::kDeleted:
      case Kind::kTruncated:
      case Kind::kReplacedByShortFile:
        return WriteBinaryFile(path_, original_);
      case Kind::kReplacedByFolder:
        return (RemoveDirectoryW(path_.c_str()) || GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES) &&
               WriteBinaryFile(path_, original_);
      case Kind::kReadOnly:
        return SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
      default:
        return true;
    }
  }

 private:
  bool Inject() {
    switch (fault_.kind) {
      case Kind::kDeleted:
        return DeleteFileW(path_.c_str()) != FALSE;
      case Kind::kTruncated: {
        UniqueFileHandle file = OpenHandle(path_, GENERIC_WRITE, 0);
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(fault_.length);
        return file && SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.get());
      }
      case Kind::kReplacedByLongerCals:
      case Kind::kReplacedByShortFile: {
        // Written elsewhere and moved over the original, as a program that
        // saves a new version does.
        const std::wstring staged = path_ + L".new";
        return WriteBinaryFile(staged, Expected().bytes) &&
               MoveFileExW(staged.c_str(), path_.c_str(), MOVEFILE_REPLACE_EXISTING);
      }
      case Kind::kReplacedByFolder:
        return DeleteFileW(path_.c_str()) && CreateDirectoryW(path_.c_str(), nullptr);
      case Kind::kReadOnly:
        return SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY) != FALSE;
      case Kind::kHeldOpen:
        holder_ = OpenHandle(path_, fault_.access, fault_.share);
        return static_cast<bool>(holder_);
    }
    return false;
  }

  const Fault& fault_;
  std::wstring path_;
  std::string original_;
  UniqueFileHandle holder_;
  bool injected_ = false;
  bool removed_ = false;
};

class SaveAfterFault : public CalsEnvironmentTest, public testing::WithParamInterface<Fault> {
 protected:
  // The original with the change written: what a successful save of the
  // opened file gives.
  static std::string Changed(const std::string& original) {
    std::string changed = original;
    changed.replace(kChangedRecord * 128, 128, Record(kChangedRecordText));
    return changed;
  }

  // Save on an unchanged file leaves it alone: same bytes, same write time.
  static void ExpectSaveLeavesFileAlone(IOrvFileNavigator* file, const std::wstring& path) {
    const std::string before = ReadBinaryFile(path);
    ASSERT_TRUE(cals_test::AgeFile(path));
    const auto aged = cals_test::WriteTime(path);
    EXPECT_EQ(S_OK, file->Save());
    EXPECT_EQ(before, ReadBinaryFile(path));
    EXPECT_EQ(aged, cals_test::WriteTime(path)) << "nothing was to be saved";
  }
};

TEST_P(SaveAfterFault, RasterNeverChangesFileNeverGrowsAndUnsavedChangesWait) {
  const Fault& fault = GetParam();
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  LONG accepted = 0;
  ASSERT_EQ(S_OK, WriteString(file.get(), kChangedTag, kChangedValue, &accepted));
  ASSERT_EQ(1, accepted);

  InjectedFault injected(fault, path, original);
  ASSERT_TRUE(injected.injected()) << "the fault could not be brought about";
  const PathState before = injected.Expected();

  EXPECT_EQ(fault.save, file->Save());

  std::optional<PathState> after = LookAt(path);
  if (!after) {
    // Unreadable while the fault lasts; closing the other handle changes no
    // byte.
    ASSERT_TRUE(injected.Remove());
    after = LookAt(path);
  }
  ASSERT_TRUE(after.has_value());

  if (FAILED(fault.save)) {
    // Nothing written, nothing created, nothing cut or grown.
    EXPECT_EQ(before, *after);
  } else {
    ASSERT_EQ(PathState::kFile, after->what);
    ASSERT_EQ(before.bytes.size(), after->bytes.size()) << "the file never grows or shrinks";
    EXPECT_EQ(before.bytes.substr(kParsed), after->bytes.substr(kParsed)) << "bytes from 1408 on never change";
    EXPECT_EQ(Changed(original).substr(0, kParsed), after->bytes.substr(0, kParsed));
  }

  ASSERT_TRUE(injected.Remove());
  if (FAILED(fault.save)) {
    // The change was kept: the next Save writes it into the original.
    ASSERT_TRUE(cals_test::AgeFile(path));
    const auto aged = cals_test::WriteTime(path);
    EXPECT_EQ(S_OK, file->Save());
    EXPECT_EQ(Changed(original), ReadBinaryFile(path));
    EXPECT_NE(aged, cals_test::WriteTime(path));
  }
  // Written once, nothing is left to write.
  ExpectSaveLeavesFileAlone(file.get(), path);
}

INSTANTIATE_TEST_SUITE_P(EachFault, SaveAfterFault, testing::ValuesIn(kFaults), FaultName);

}  // namespace
