#include "convert/format_date.h"

#include <array>

#include "convert/date_styles.h"
#include "convert/month_names.h"
#include "convert/ole_date.h"

namespace convert {
namespace {

// A date the calendar conversion rejects keeps -1 in every field, and the
// rules below then give -1 for the derived numbers too (-1 % 100 is -1),
// "AM" and empty month names: the rendering shows the failure instead of
// inventing a date.
FormatArg ValueOf(DateValue value, const CalendarFields& f) {
  switch (value) {
    case DateValue::Year: return f.year;
    case DateValue::YearOfCentury: return f.year % 100;
    case DateValue::Month: return f.month;
    case DateValue::Day: return f.day;
    case DateValue::Hour: return f.hour;
    case DateValue::Hour12: return f.hour > 12 ? f.hour - 12 : f.hour;
    case DateValue::Minute: return f.minute;
    case DateValue::Second: return f.second;
    case DateValue::ShortMonthName: return ShortMonthName(f.month);
    case DateValue::FullMonthName: return FullMonthName(f.month);
    case DateValue::Meridiem: return f.hour > 12 ? u"PM" : u"AM";
  }
  return FormatArg{};
}

}  // namespace

bool FormatDate(Str& output, double date, std::int32_t style) {
  // Zero is the automation null date; the caller converts it the general way.
  if (date == 0.0) return false;

  CalendarFields fields;
  OleDateToFields(date, fields);

  const DateStyle& row = FindDateStyle(style);
  std::array<FormatArg, std::tuple_size_v<decltype(row.values)>> args;
  for (std::size_t i = 0; i < row.valueCount; ++i) args[i] = ValueOf(row.values[i], fields);
  output.FormatList(row.format, std::span(args.data(), row.valueCount));
  return true;
}

}  // namespace convert
