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
  int dayOfWeek = -1;  // 0 = Sunday
};

// False, with every field -1, for a date outside 1 January 100 to
// 31 December 9999 (as the platform rejects it).
bool OleDateToFields(double date, CalendarFields& fields);

}  // namespace convert
