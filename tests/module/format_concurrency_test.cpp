// One format object of the built DLL shared by eight threads of the
// multithreaded apartment, as a host that opens files on worker threads uses
// it: opening good and bad files, reading the description and the extension
// groups, taking and dropping references, all at once. Every answer must be
// the one a single thread gets, and once the threads are done and the object
// released, nothing of the DLL may be left alive.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "host_interfaces_h.h"
#include "mirotex_h.h"
#include "com/com_ptr.h"
#include "tests/module/loaded_module.h"
#include "tests/support/win/cals_test_files.h"
#include "tests/support/win/test_environment.h"

namespace {

using testing_support::ComApartment;
using testing_support::WriteBinaryFile;

constexpr int kThreads = 8;
constexpr int kOperations = 100'000;  // in all, over every thread
constexpr int kPerThread = kOperations / kThreads;
static_assert(kPerThread * kThreads == kOperations);

constexpr HRESULT kCannotOpen = static_cast<HRESULT>(0x80040228L);
constexpr HRESULT kTooShort = static_cast<HRESULT>(0x80040229L);

constexpr wchar_t kName[] = L"KORVANE PDM";
constexpr wchar_t kDescription[] = L"File format plugin for CALS files.";
constexpr wchar_t kExtensions[] = L"cal,ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";
constexpr wchar_t kMainList[] = L"ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst";
constexpr wchar_t kMainListWithCal[] = L"ct1,ct2,ct3,nif,ct4,c4,cg4,gp4,mil,rst,cal";

// A path given to OpenFile and what must come back: the code, and for a
// good file the value of its srcdocid.
struct Sample {
  std::wstring path;
  HRESULT expected;
  std::wstring srcdocid;
};

// What went wrong on one thread: how often, and the first time in words.
struct Faults {
  long count = 0;
  std::string first;

  void Note(const char* what, int operation, HRESULT hr = S_OK) {
    if (count++ == 0) {
      char text[160];
      std::snprintf(text, sizeof text, "%s (operation %d, 0x%08lX)", what, operation, static_cast<unsigned long>(hr));
      first = text;
    }
  }
};

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L"<null>"; }

// OpenFile; a good file is read once through the object, which is then
// released (its only reference).
void OpenOnce(IOrvFileFormat* format, const Sample& sample, int operation, Faults& faults) {
  BSTR path = SysAllocString(sample.path.c_str());
  IOrvFileNavigator* file = reinterpret_cast<IOrvFileNavigator*>(module_test::Poison());
  const HRESULT hr = format->OpenFile(path, 0, &file);
  SysFreeString(path);
  if (hr != sample.expected) return faults.Note("OpenFile answered differently", operation, hr);
  if (FAILED(hr)) {
    if (file != nullptr) faults.Note("a failed OpenFile handed out something", operation, hr);
    return;
  }
  if (file == nullptr) return faults.Note("OpenFile succeeded without an object", operation);

  VariableItem item{};
  item.variableName = SysAllocString(L"srcdocid");
  item.sourceName = SysAllocString(L"CALS");
  VariantInit(&item.variableValue);
  const HRESULT read = file->GetVariables(0, 0, 0, 1, &item);
  if (read != S_OK || item.resultFlag != 1 || item.variableValue.vt != VT_BSTR ||
      Text(item.variableValue.bstrVal) != sample.srcdocid) {
    faults.Note("the opened file reads another header", operation, read);
  }
  SysFreeString(item.variableName);
  SysFreeString(item.sourceName);
  VariantClear(&item.variableValue);
  if (file->Release() != 0) faults.Note("the opened file outlived its only reference", operation);
}

void DescribeOnce(IOrvFileFormat* format, int operation, Faults& faults) {
  BSTR name = nullptr;
  BSTR description = nullptr;
  BSTR extensions = nullptr;
  const HRESULT hr = format->GetDescription(&name, &description, &extensions);
  if (hr != S_OK || Text(name) != kName || Text(description) != kDescription || Text(extensions) != kExtensions) {
    faults.Note("GetDescription answered differently", operation, hr);
  }
  SysFreeString(name);
  SysFreeString(description);
  SysFreeString(extensions);
}

// The groups, freed as the host frees them. `shape` is the group count the
// first call anywhere gave (0 until then): the probe for the optional class
// runs once per process, however many threads ask first, and every later
// answer must agree with it.
void GroupsOnce(IOrvFileFormat2* format, int operation, std::atomic<LONG>& shape, Faults& faults) {
  LONG count = -1;
  ExtensionGroup* groups = nullptr;
  const HRESULT hr = format->GetExtensionGroups(&count, &groups);
  if (hr != S_OK || groups == nullptr || (count != 1 && count != 2)) {
    faults.Note("GetExtensionGroups failed", operation, hr);
  } else {
    LONG expected = 0;
    shape.compare_exchange_strong(expected, count);
    const bool agrees = count == shape.load();
    const bool lists = count == 1 ? Text(groups[0].extensionList) == kMainListWithCal
                                  : Text(groups[0].extensionList) == kMainList &&
                                        Text(groups[1].extensionList) == L"cal";
    bool kinds = true;
    for (LONG i = 0; i < count; ++i) kinds = kinds && groups[i].groupKind == 4;
    if (!agrees || !lists || !kinds) faults.Note("GetExtensionGroups answered differently", operation, hr);
  }
  if (groups != nullptr) {
    for (LONG i = 0; i < count; ++i) SysFreeString(groups[i].extensionList);
    CoTaskMemFree(groups);
  }
}

// A reference taken and dropped through another interface: the count is
// shared by every thread and must never reach 0 while the test holds one.
void ReferenceOnce(IOrvFileFormat* format, int operation, Faults& faults) {
  IOrvFileFormat2* second = nullptr;
  const HRESULT hr = format->QueryInterface(IID_IOrvFileFormat2, reinterpret_cast<void**>(&second));
  if (hr != S_OK || second == nullptr) return faults.Note("QueryInterface failed", operation, hr);
  // The test holds two references, this call one more, then another.
  if (second->AddRef() < 4) faults.Note("a reference was lost", operation);
  if (second->Release() < 3) faults.Note("a reference was lost", operation);
  if (second->Release() < 2) faults.Note("a reference was lost", operation);
}

class FormatConcurrency : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(S_OK, apartment_.result());
    ASSERT_TRUE(install_.ready());
    ASSERT_TRUE(module_.loaded());
    // Good files with headers of their own, and paths that fail in each
    // way a load can fail.
    ASSERT_TRUE(WriteBinaryFile(files_.File(L"drawing.cal"), testing_support::StandardCalsFile()));
    ASSERT_TRUE(WriteBinaryFile(files_.File(L"other.ct1"),
                                testing_support::CalsFile({"srcdocid: OTHER 0815", "rtype: 1",
                                                           "rpelcnt: 000800,000600"})));
    ASSERT_TRUE(WriteBinaryFile(files_.File(L"short.cal"), std::string(1000, ' ')));
    samples_ = {
        {files_.File(L"drawing.cal"), S_OK, L"DRW-4711"},
        {files_.File(L"missing.cal"), kCannotOpen, {}},
        {files_.File(L"other.ct1"), S_OK, L"OTHER 0815"},
        {files_.File(L"short.cal"), kTooShort, {}},
        {files_.path(), kCannotOpen, {}},  // a folder
    };
  }

  ComApartment apartment_{COINIT_MULTITHREADED};
  testing_support::TestInstallation install_;
  testing_support::TempDir files_;
  module_test::LoadedModule module_;
  std::vector<Sample> samples_;
};

TEST_F(FormatConcurrency, EightThreadsShareOneFormatObjectAndLeaveNothingBehind) {
  ComPtr<IOrvFileFormat> format;
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, module_.GetClassObject(CLSID_CalsFormat, IID_IClassFactory, factory.put_void()));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IOrvFileFormat, format.put_void()));
  }
  ComPtr<IOrvFileFormat2> groupsFace;
  ASSERT_EQ(S_OK, format.As(IID_IOrvFileFormat2, groupsFace));

  std::vector<Faults> faults(kThreads);
  std::atomic<LONG> groupShape{0};
  std::latch start(kThreads + 1);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      ComApartment mta(COINIT_MULTITHREADED);
      start.arrive_and_wait();
      if (FAILED(mta.result())) return faults[t].Note("no apartment", 0, mta.result());
      for (int i = 0; i < kPerThread; ++i) {
        // Each thread walks the operations and the samples from another
        // place, so that different calls meet.
        const int step = i + t;
        switch (step % 4) {
          case 0: OpenOnce(format.get(), samples_[(step / 4) % samples_.size()], i, faults[t]); break;
          case 1: DescribeOnce(format.get(), i, faults[t]); break;
          case 2: GroupsOnce(groupsFace.get(), i, groupShape, faults[t]); break;
          case 3: ReferenceOnce(format.get(), i, faults[t]); break;
        }
      }
    });
  }
  const auto began = std::chrono::steady_clock::now();
  start.arrive_and_wait();
  for (std::thread& thread : threads) thread.join();
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began).count();
  std::printf("%d threads, %d operations in all, %lld ms\n", kThreads, kOperations, static_cast<long long>(elapsed));
  RecordProperty("milliseconds", static_cast<int>(elapsed));

  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(0, faults[t].count) << "thread " << t << ": " << faults[t].first;

  // Every reference the threads took was given back.
  EXPECT_EQ(3u, format->AddRef());
  EXPECT_EQ(2u, format->Release());
  EXPECT_EQ(S_FALSE, module_.CanUnloadNow()) << "the test still holds the object";
  groupsFace.Reset();
  format.Reset();
  EXPECT_EQ(S_OK, module_.CanUnloadNow()) << "every object destroyed, the lock count back at 0";
}

// References alone, as fast as the threads can take and drop them: a count
// that is not changed atomically loses some of them on two cores, and the
// object then dies early or never.
TEST_F(FormatConcurrency, ReferenceCountStaysExactUnderContention) {
  constexpr int kPairsPerThread = 200'000;
  ComPtr<IOrvFileFormat> format;
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, module_.GetClassObject(CLSID_CalsFormat, IID_IClassFactory, factory.put_void()));
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IOrvFileFormat, format.put_void()));
  }
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      ComApartment mta(COINIT_MULTITHREADED);
      start.arrive_and_wait();
      for (int i = 0; i < kPairsPerThread; ++i) {
        format->AddRef();
        format->Release();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(2u, format->AddRef()) << "references were gained or lost";
  EXPECT_EQ(1u, format->Release());
  format.Reset();
  EXPECT_EQ(S_OK, module_.CanUnloadNow());
}

}  // namespace
