// Calendar fields of an OLE automation date, the same fields the platform's
// VariantTimeToSystemTime gives, without the platform.
#pragma once

namespace convert {

struct CalendarFields {
  int year = -1;
  int month = -1;   // 1..12
  int day = -1;     // 1..31
  int hour = -1;    // 0..23
  int minute = -1;
  int second = -1;
};

// The date's calendar fields, to the whole second. The whole part of the
// date counts days from 30 December 1899 (towards zero for negative dates);
// the fraction, without its sign, is the time of day. A remainder of half a
// second or more rounds up, into the next day if need be (so the last
// instant of 31 December 9999 gives 1 January 10000).
//
// False, with every field -1, for a date outside 1 January 100 to
// 31 December 9999 (as the platform rejects it), and for NaN.
bool OleDateToFields(double date, CalendarFields& fields);

}  // namespace convert
