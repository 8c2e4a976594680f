// Memory running out inside VariantToText must leave it as E_OUTOFMEMORY,
// never as std::bad_alloc or a half-built text. The program replaces the
// global operator new so that a test can make the n-th allocation fail.
#include <gtest/gtest.h>

#include <comdef.h>

#include <cstdlib>
#include <new>
#include <string>

#include "convert/windows/ole_handles.h"
#include "convert/windows/variant_text.h"

namespace {

// Allocations left before the next one fails; negative: none fails.
thread_local long allocationsBeforeFailure = -1;

class FailingAllocation {
 public:
  explicit FailingAllocation(long after) { allocationsBeforeFailure = after; }
  ~FailingAllocation() { allocationsBeforeFailure = -1; }
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;
};

}  // namespace

// The replacement pair below allocates with malloc and frees with free;
// GCC cannot see that they belong together wherever it inlines a delete.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  if (allocationsBeforeFailure == 0) throw std::bad_alloc();
  if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

using convert::VariantToText;

enum class Outcome { Text, OutOfMemory, OtherFailure };

Outcome ConvertWithFailureAt(const VARIANT& value, int style, long failAt, const std::wstring& expected) {
  try {
    const FailingAllocation failing(failAt);
    const std::wstring text = VariantToText(value, style);
    return text == expected ? Outcome::Text : Outcome::OtherFailure;
  } catch (const _com_error& e) {
    return e.Error() == E_OUTOFMEMORY ? Outcome::OutOfMemory : Outcome::OtherFailure;
  } catch (...) {
    return Outcome::OtherFailure;
  }
}

void ExpectOutOfMemoryUntilItFits(const VARIANT& value, int style, const std::wstring& expected) {
  EXPECT_EQ(ConvertWithFailureAt(value, style, 0, expected), Outcome::OutOfMemory);
  bool succeeded = false;
  for (long failAt = 0; failAt < 50 && !succeeded; ++failAt) {
    const Outcome outcome = ConvertWithFailureAt(value, style, failAt, expected);
    EXPECT_NE(outcome, Outcome::OtherFailure) << "allocation " << failAt;
    succeeded = outcome == Outcome::Text;
  }
  EXPECT_TRUE(succeeded);
}

TEST(VariantToTextOutOfMemory, DateRendering) {
  VARIANT date;
  VariantInit(&date);
  V_VT(&date) = VT_DATE;
  V_DATE(&date) = 45356.578125;
  ExpectOutOfMemoryUntilItFits(date, 113, L"05 Mars 2024 13:52:30:000");
}

TEST(VariantToTextOutOfMemory, GeneralConversion) {
  const std::wstring longText(200, L'x');  // beyond any small-string buffer
  UniqueVariant text;
  V_VT(text.get()) = VT_BSTR;
  V_BSTR(text.get()) = SysAllocString(longText.c_str());
  ExpectOutOfMemoryUntilItFits(*text, 0, longText);
}

}  // namespace
