// Fuzzes the date renderer with any date value and any style code: no
// crash, a zero date declined with the output untouched, calendar fields
// that are either all -1 or a real date and time, printable output of a
// bounded length, and a code without a row of its own rendered exactly as
// style 113. The input is the date's 8 bytes and the code's 4 (both in the
// machine's byte order), so every double is reached: NaN of any payload,
// both infinities, denormals, huge values and both zeros.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "convert/date_styles.h"
#include "convert/format_date.h"
#include "convert/ole_date.h"

namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

void CheckFields(double date) {
  convert::CalendarFields f;
  if (!convert::OleDateToFields(date, f)) {
    if (f.year != -1 || f.month != -1 || f.day != -1 || f.hour != -1 || f.minute != -1 || f.second != -1) std::abort();
    return;
  }
  if (f.year < 100 || f.year > 10000 || f.month < 1 || f.month > 12) std::abort();
  if (f.day < 1 || f.day > DaysInMonth(f.year, f.month)) std::abort();
  if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < sizeof(double) + sizeof(std::int32_t)) return 0;
  double date;
  std::int32_t style;
  std::memcpy(&date, data, sizeof date);
  std::memcpy(&style, data + sizeof date, sizeof style);

  CheckFields(date);

  Str out(u"before");
  const bool rendered = convert::FormatDate(out, date, style);
  if (rendered == (date == 0.0)) std::abort();
  if (!rendered && out.text() != u"before") std::abort();
  for (char16_t c : out.text()) {
    if (c < 0x20 || c > 0x7E) std::abort();
  }
  if (out.text().size() > 64) std::abort();
  if (!rendered) return 0;

  // The same rendering every time, and unknown codes render as 113.
  Str again(u"");
  if (!convert::FormatDate(again, date, style) || again.text() != out.text()) std::abort();
  if (convert::FindDateStyle(style).codes[0] == 113) {
    Str fallback(u"");
    if (!convert::FormatDate(fallback, date, 113) || fallback.text() != out.text()) std::abort();
  }
  return 0;
}
