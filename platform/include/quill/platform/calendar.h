// The one calendar of the system: the proleptic Gregorian calendar, days
// counted from 1 January 1970, for the date values of OLE Automation (whose
// day 0 is 30 December 1899) on every system.
#ifndef QUILL_PLATFORM_CALENDAR_H
#define QUILL_PLATFORM_CALENDAR_H

#include <stdint.h>

namespace qp {

// 30 December 1899, day 0 of a date value, in this count.
const int64_t kDateValueEpochDay = -25569;

// The day number of a date (month 1-12, day 1-31, not checked).
int64_t days_from_civil(int64_t year, int month, int day);
// The date of a day number.
void civil_from_days(int64_t days, int64_t* year, int* month, int* day);
bool is_leap_year(int64_t year);
// The days of a month (1-12) in a year.
int days_in_month(int64_t year, int month);

} // namespace qp

#endif
