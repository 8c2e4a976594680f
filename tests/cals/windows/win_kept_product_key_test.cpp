// The product key kept open between loads, against Wine's real registry
// with every registry call counted: a later load asks only the value; a
// key deleted and created again is opened again once; whatever the
// registry holds, a load sees what a load opening the key afresh sees,
// also while other threads load and the key is replaced under them.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "cals/win_utf16.h"
#include "cals/windows/kept_registry_key.h"
#include "cals/windows/registry_calls.h"
#include "cals/windows/settings_light.h"
#include "cals/windows/win_registry_installation.h"
#include "tests/support/win/counting_registry_calls.h"
#include "tests/support/win/registry_test_keys.h"
#include "tests/support/win/test_environment.h"

namespace {

using testing_support::CountingRegistryCalls;

class KeptProductKey : public ::testing::Test {
 public:
  // What one load asks: the shared folder, through the kept key.
  std::wstring Load() { return cals::ToWide(locator.SharedFolder()); }
  // What a load that opens the key itself would see now.
  static std::wstring Afresh() { return SettingsLight().GetSharedFolder(); }
  static void DeleteProductKey() {
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, kProductKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kProductKey);
  }

  testing_support::ScopedKeyPath keyPath{HKEY_LOCAL_MACHINE, kProductKey};
  testing_support::ScopedRegistryValue location{HKEY_LOCAL_MACHINE, kProductKey, kSharedLocationValue};
  CountingRegistryCalls calls;
  cals::KeptRegistryKey key{calls, HKEY_LOCAL_MACHINE, kProductKey, KEY_READ};
  cals::RegistryInstallationLocator locator{&key};
};

TEST_F(KeptProductKey, ALaterLoadOpensNoKeyAndAsksTheValueOnce) {
  ASSERT_TRUE(location.SetString(L"C:\\First"));
  EXPECT_EQ(Load(), L"C:\\First\\");
  calls.Reset();
  EXPECT_EQ(Load(), L"C:\\First\\");
  EXPECT_EQ(calls.opens.load(), 0);
  EXPECT_EQ(calls.queries.load(), 1);

  DeleteProductKey();
  ASSERT_TRUE(location.SetString(L"C:\\Second"));
  calls.Reset();
  EXPECT_EQ(Load(), L"C:\\Second\\");
  EXPECT_EQ(calls.opens.load(), 1) << "the deleted key is opened again, once";
  EXPECT_EQ(calls.queries.load(), 2);
  EXPECT_EQ(calls.closes.load(), 1) << "the deleted key's handle is closed";

  key.Close();  // as when the DLL is unloaded
  EXPECT_EQ(calls.closes.load(), 2);
  calls.Reset();
  EXPECT_EQ(Load(), L"C:\\Second\\");
  EXPECT_EQ(calls.opens.load(), 1);
}

TEST_F(KeptProductKey, EveryRegistryStateLooksAsToALoadThatOpensTheKeyAfresh) {
  const std::wstring longFolder = L"C:\\" + std::wstring(700, L'x');  // more than one query's buffer
  ASSERT_TRUE(SetEnvironmentVariableW(L"MIROTEX_TEST_SHARED", L"C:\\Expanded"));
  struct State {
    const char* name;
    bool (*apply)(KeptProductKey&, const std::wstring&);
    std::wstring folder;  // what a load sees
  };
  const State states[] = {
      {"plain", [](auto& t, auto&) { return t.location.SetString(L"C:\\Plain"); }, L"C:\\Plain\\"},
      {"expandable", [](auto& t, auto&) { return t.location.SetString(L"%MIROTEX_TEST_SHARED%", REG_EXPAND_SZ); },
       L"C:\\Expanded\\"},
      {"a number", [](auto& t, auto&) { return t.location.SetDword(7); }, L""},
      {"long", [](auto& t, auto& folder) { return t.location.SetString(folder); }, longFolder + L"\\"},
      {"empty", [](auto& t, auto&) { return t.location.SetString(L""); }, L""},
      {"missing", [](auto& t, auto&) { return t.location.Remove(); }, L""},
      {"key deleted", [](auto&, auto&) { return DeleteProductKey(), true; }, L""},
      {"key created again", [](auto& t, auto&) { return t.location.SetString(L"C:\\Again"); }, L"C:\\Again\\"},
      {"key deleted, created again", [](auto& t, auto&) { return DeleteProductKey(), t.location.SetString(L"C:\\New"); },
       L"C:\\New\\"},
  };
  for (const State& state : states) {
    ASSERT_TRUE(state.apply(*this, longFolder)) << state.name;
    EXPECT_EQ(Load(), state.folder) << state.name;
    EXPECT_EQ(Afresh(), state.folder) << state.name;
  }
  SetEnvironmentVariableW(L"MIROTEX_TEST_SHARED", nullptr);
}

// Eight threads load while another deletes the key and creates it again
// with the other of two folders. A load may fail only when the key was
// missing at some moment of it, as a load opening the key afresh would.
TEST_F(KeptProductKey, ThreadsLoadingWhileTheKeyIsReplacedSeeTheOldOrTheNewFolder) {
  ASSERT_TRUE(location.SetString(L"C:\\Old"));
  std::atomic<int> epoch = 0;  // odd while the key is being replaced
  std::atomic<bool> done = false;
  std::atomic<int> loads = 0, wrongFailures = 0, strangers = 0;
  std::vector<std::thread> readers;
  for (int i = 0; i < 8; ++i) {
    readers.emplace_back([&] {
      while (!done) {
        const int before = epoch;
        const std::wstring folder = Load();
        const int after = epoch;
        ++loads;
        if (folder.empty()) {
          if (before == after && before % 2 == 0) ++wrongFailures;
        } else if (folder != L"C:\\Old\\" && folder != L"C:\\New\\") {
          ++strangers;
        }
      }
    });
  }
  for (int round = 0; round < 40; ++round) {
    ++epoch;
    DeleteProductKey();
    EXPECT_TRUE(location.SetString(round % 2 == 0 ? L"C:\\New" : L"C:\\Old"));
    ++epoch;
    Sleep(1);
  }
  done = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_GT(loads.load(), 40);
  EXPECT_EQ(wrongFailures.load(), 0);
  EXPECT_EQ(strangers.load(), 0);
  EXPECT_EQ(Load(), L"C:\\Old\\");
}

}  // namespace
