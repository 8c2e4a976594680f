// The host's records and result codes as the plug-in declares them. The
// include compiles the layout assertions of the records.
#include <gtest/gtest.h>

#include "plugin/host_records.h"
#include "plugin/result_codes.h"

namespace {

TEST(HostResultCodes, HaveTheValuesTheHostKnows) {
  const struct {
    const char* name;
    HRESULT code;
    unsigned long expected;
  } codes[] = {
      {"S_OK", S_OK, 0x00000000UL},
      {"E_POINTER", E_POINTER, 0x80004003UL},
      {"E_NOTIMPL", E_NOTIMPL, 0x80004001UL},
      {"E_OUTOFMEMORY", E_OUTOFMEMORY, 0x8007000EUL},
      {"E_FAIL", E_FAIL, 0x80004005UL},
      {"MIROTEX_E_CANNOT_OPEN", MIROTEX_E_CANNOT_OPEN, 0x80040228UL},
      {"MIROTEX_E_TOO_SHORT", MIROTEX_E_TOO_SHORT, 0x80040229UL},
      {"MIROTEX_E_PREVIEW_DECLINED", MIROTEX_E_PREVIEW_DECLINED, 0x8004022AUL},
  };
  for (const auto& c : codes) {
    EXPECT_EQ(static_cast<unsigned long>(c.code), c.expected) << c.name;
    EXPECT_EQ(FAILED(c.code), c.expected != 0) << c.name;
  }
}

}  // namespace
