// The seventeen navigator operations the plug-in does not support: each
// refuses a null pointer among the arguments it checks, otherwise answers
// with its fixed result, and never reads or writes through its pointers.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "plugin/cals_file.h"
#include "tests/plugin/cals_file_fixture.h"

namespace {

// Five guarded argument buffers; a bit set in `nullMask` passes null in
// that argument position (1-based bit n-1) instead.
struct Arguments {
  std::array<std::array<unsigned char, 64>, 5> buffers;
  Arguments() {
    for (auto& buffer : buffers) buffer.fill(0xDB);
  }
  void* Pointer(int position, unsigned nullMask) {
    return (nullMask & (1u << (position - 1))) ? nullptr : buffers[position - 1].data();
  }
  bool Untouched() const {
    for (const auto& buffer : buffers)
      for (unsigned char byte : buffer)
        if (byte != 0xDB) return false;
    return true;
  }
};

struct Placeholder {
  const char* name;
  std::vector<int> checked;  // argument positions that must not be null
  HRESULT answer;            // with every checked pointer set
  std::function<HRESULT(IOrvFileNavigator*, Arguments&, unsigned)> call;
};

constexpr LONG kJunk = static_cast<LONG>(0xDEADBEEF);

std::vector<Placeholder> Placeholders() {
  using N = IOrvFileNavigator;
  return {
      {"NavigatorOperation1", {2, 3}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation1(kJunk, a.Pointer(2, m), a.Pointer(3, m));
       }},
      {"NavigatorOperation2", {}, E_NOTIMPL,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation2(); }},
      {"NavigatorOperation3", {1}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) { return n->NavigatorOperation3(a.Pointer(1, m)); }},
      {"NavigatorOperation4", {1, 2, 3, 4, 5}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation4(a.Pointer(1, m), a.Pointer(2, m), a.Pointer(3, m),
                                       a.Pointer(4, m), a.Pointer(5, m));
       }},
      {"NavigatorOperation5", {3, 4}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation5(kJunk, kJunk, a.Pointer(3, m), a.Pointer(4, m));
       }},
      {"NavigatorOperation6", {3, 4}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation6(kJunk, kJunk, a.Pointer(3, m), a.Pointer(4, m));
       }},
      {"NavigatorOperation9", {1, 2}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation9(a.Pointer(1, m), a.Pointer(2, m));
       }},
      {"NavigatorOperation10", {3}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation10(kJunk, kJunk, a.Pointer(3, m));
       }},
      {"NavigatorOperation11", {2, 3}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation11(kJunk, a.Pointer(2, m), a.Pointer(3, m));
       }},
      {"NavigatorOperation12", {}, E_NOTIMPL,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation12(); }},
      {"NavigatorOperation14", {1}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) { return n->NavigatorOperation14(a.Pointer(1, m)); }},
      {"NavigatorOperation15", {4, 5}, E_NOTIMPL,
       [](N* n, Arguments& a, unsigned m) {
         return n->NavigatorOperation15(kJunk, kJunk, kJunk, a.Pointer(4, m), a.Pointer(5, m));
       }},
      {"NavigatorOperation16", {}, E_NOTIMPL,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation16(); }},
      {"NavigatorOperation17", {}, S_OK,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation17(); }},
      {"NavigatorOperation18", {}, S_OK,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation18(); }},
      {"NavigatorOperation19", {}, E_NOTIMPL,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation19(); }},
      {"NavigatorOperation20", {}, E_NOTIMPL,
       [](N* n, Arguments&, unsigned) { return n->NavigatorOperation20(); }},
  };
}

class CalsFilePlaceholdersTest : public cals_test::CalsEnvironmentTest {};

TEST_F(CalsFilePlaceholdersTest, SeventeenPlaceholdersAnswerAndCheckTheirPointers) {
  const std::string original = cals_test::CalsFile();
  const std::wstring path = MakeFile(original);
  auto file = Open(path);
  ASSERT_TRUE(file);
  const auto table = Placeholders();
  ASSERT_EQ(17u, table.size());

  for (const Placeholder& op : table) {
    SCOPED_TRACE(op.name);
    Arguments all;
    EXPECT_EQ(op.answer, op.call(file.get(), all, 0u));
    EXPECT_TRUE(all.Untouched());
    for (int position : op.checked) {
      SCOPED_TRACE(position);
      Arguments oneNull;
      EXPECT_EQ(E_POINTER, op.call(file.get(), oneNull, 1u << (position - 1)));
      EXPECT_TRUE(oneNull.Untouched());
    }
    // Unchecked pointer positions may be null without changing the answer.
    unsigned unchecked = 0x1Fu;
    for (int position : op.checked) unchecked &= ~(1u << (position - 1));
    Arguments others;
    EXPECT_EQ(op.answer, op.call(file.get(), others, unchecked));
  }

  // None of them changed the header: nothing to save, and the tags read as before.
  ASSERT_TRUE(cals_test::AgeFile(path));
  const auto agedTime = cals_test::WriteTime(path);
  EXPECT_EQ(S_OK, file->Save());
  EXPECT_EQ(agedTime, cals_test::WriteTime(path));
  EXPECT_EQ(original, testing_support::ReadBinaryFile(path));
}

}  // namespace
