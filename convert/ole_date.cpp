#include "convert/ole_date.h"

#include <cmath>

namespace convert {
namespace {

// Day numbers as automation dates count them: day 0 is 30 December 1899.
// The platform accepts dates strictly between these two.
constexpr double kBelowFirstDay = -657435.0;  // the day before 1 January 100
constexpr double kAfterLastDay = 2958466.0;   // 1 January 10000

// The platform adds this before it splits the time of day, so that a
// fraction a hair below a whole second is not cut down by truncation.
constexpr double kTruncationNudge = 1e-11;

// Day 0 of automation dates in days since 1 March of year 0 of the
// proleptic Gregorian calendar (the start of a 400-year cycle).
constexpr long kDayZeroFromEpoch = 693899;
constexpr long kDaysPer400Years = 146097;

struct CivilDate {
  int year;
  int month;
  int day;
};

// Proleptic Gregorian date of an automation day number. Counting from
// 1 March puts the leap day at the end of each year, so that the month
// lengths repeat in a fixed 5-month pattern.
CivilDate CivilFromDayNumber(long dayNumber) {
  const long fromEpoch = dayNumber + kDayZeroFromEpoch;
  const long cycle = (fromEpoch >= 0 ? fromEpoch : fromEpoch - (kDaysPer400Years - 1)) / kDaysPer400Years;
  const long dayOfCycle = fromEpoch - cycle * kDaysPer400Years;                       // 0..146096
  const long yearOfCycle =
      (dayOfCycle - dayOfCycle / 1460 + dayOfCycle / 36524 - dayOfCycle / 146096) / 365;  // 0..399
  const long dayOfYear = dayOfCycle - (365 * yearOfCycle + yearOfCycle / 4 - yearOfCycle / 100);  // 0..365
  const long shiftedMonth = (5 * dayOfYear + 2) / 153;  // 0 = March .. 11 = February
  const long day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const long year = yearOfCycle + cycle * 400 + (month <= 2 ? 1 : 0);
  return {static_cast<int>(year), static_cast<int>(month), static_cast<int>(day)};
}

struct TimeOfDay {
  int hour;
  int minute;
  int second;
  bool nextDay;
};

// Splits a fraction of a day in the platform's own steps: scale, cut off
// the whole unit, scale the rest again. Each step is kept as a separate
// double operation because the exact rounding of each one decides which
// second a date near a boundary falls in.
TimeOfDay SplitTimeOfDay(double fraction) {
  double rest = fraction + kTruncationNudge;
  if (rest >= 1.0) rest -= kTruncationNudge;

  TimeOfDay time{};
  rest *= 24.0;
  time.hour = static_cast<int>(rest);
  rest -= time.hour;
  rest *= 60.0;
  time.minute = static_cast<int>(rest);
  rest -= time.minute;
  rest *= 60.0;
  time.second = static_cast<int>(rest);
  rest -= time.second;

  if (rest > 0.5) {
    if (++time.second == 60) {
      time.second = 0;
      if (++time.minute == 60) {
        time.minute = 0;
        if (++time.hour == 24) {
          time.hour = 0;
          time.nextDay = true;
        }
      }
    }
  }
  return time;
}

}  // namespace

bool OleDateToFields(double date, CalendarFields& fields) {
  fields = CalendarFields{};
  // Written so that NaN fails too.
  if (!(date > kBelowFirstDay && date < kAfterLastDay)) return false;

  // The whole part counts towards zero, and the time of day is the
  // fraction without its sign: -5.25 is 25 December 1899 06:00.
  const double wholeDays = std::trunc(date);
  const TimeOfDay time = SplitTimeOfDay(std::fabs(date - wholeDays));
  const CivilDate civil = CivilFromDayNumber(static_cast<long>(wholeDays) + (time.nextDay ? 1 : 0));

  fields.year = civil.year;
  fields.month = civil.month;
  fields.day = civil.day;
  fields.hour = time.hour;
  fields.minute = time.minute;
  fields.second = time.second;
  return true;
}

}  // namespace convert
