#include "transport/COLEDateTime.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>

#include "quill/platform/calendar.h"
#include "quill/platform/clock.h"

namespace {

const int64_t kSecondsPerDay = 86400;
// The first and the last date value that can be split into its parts or
// result from arithmetic: 1 January 100 and 31 December 9999, both at 00:00.
const double kFirstDay = -657434.0;
const double kLastDay = 2958465.0;
const double kMaxSpanDays = 3615897.0;
// Days from 1 January 1970 back to 30 December 1899.
const int64_t kUnixEpochDay = -qp::kDateValueEpochDay;

using qp::days_from_civil;
using qp::days_in_month;

// The calendar's date of a day number, in the parts' int fields.
void civil_from_days(int64_t days, int* year, int* month, int* day) {
    int64_t full_year = 0;
    qp::civil_from_days(days, &full_year, month, day);
    *year = static_cast<int>(full_year);
}

// A stored date's time of day counts forward from its day even when the day
// is negative; the linear form is a plain signed count of days.
double to_linear(double date) {
    if (date >= 0)
        return date;
    const double day = ceil(date);
    return day + (day - date);
}

double from_linear(double linear) {
    if (linear >= 0)
        return linear;
    const double day = floor(linear);
    const double fraction = linear - day;
    // Just below zero the fraction rounds up to a whole day; that is the
    // next day at midnight, not a day further back.
    if (fraction >= 1.0)
        return day + 1.0;
    return day - fraction;
}

// The comparisons are written so that not-a-number falls outside.
bool date_in_range(double date) {
    return date >= kFirstDay && date <= kLastDay;
}

bool span_in_range(double span) {
    return span >= -kMaxSpanDays && span <= kMaxSpanDays;
}

struct DateParts {
    int year, month, day, hour, minute, second;
    int64_t day_number; // days since 30 December 1899
};

// Splits a valid date, rounded to the nearest second. The range test comes
// first so that no out-of-range double is ever converted to an integer.
bool split_date(const COLEDateTime& date, DateParts* parts) {
    if (date.GetStatus() != COLEDateTime::valid || !date_in_range(date.m_dt))
        return false;
    const int64_t seconds =
        llround(to_linear(date.m_dt) * static_cast<double>(kSecondsPerDay));
    int64_t day_number = seconds / kSecondsPerDay;
    int64_t second_of_day = seconds % kSecondsPerDay;
    if (second_of_day < 0) {
        second_of_day += kSecondsPerDay;
        --day_number;
    }
    parts->day_number = day_number;
    civil_from_days(day_number - kUnixEpochDay, &parts->year, &parts->month, &parts->day);
    parts->hour = static_cast<int>(second_of_day / 3600);
    parts->minute = static_cast<int>(second_of_day % 3600 / 60);
    parts->second = static_cast<int>(second_of_day % 60);
    return true;
}

// The status of a result computed from two operands, before the range test.
// Both classes number their statuses alike.
template <class A, class B> int combined_status(const A& a, const B& b) {
    if (a.GetStatus() == A::null || b.GetStatus() == B::null)
        return A::null;
    if (a.GetStatus() != A::valid || b.GetStatus() != B::valid)
        return A::invalid;
    return A::valid;
}

COLEDateTime make_date(double linear, int status) {
    COLEDateTime result;
    if (status != COLEDateTime::valid) {
        result.SetStatus(static_cast<COLEDateTime::DateTimeStatus>(status));
        return result;
    }
    // Far outside, the linear form is not converted at all.
    const double date = linear >= kFirstDay - 1 && linear <= kLastDay + 1 ? from_linear(linear)
                                                                          : linear;
    if (!date_in_range(date)) {
        result.SetStatus(COLEDateTime::invalid);
        return result;
    }
    result.m_dt = date;
    return result;
}

COLEDateTimeSpan make_span(double value, int status) {
    COLEDateTimeSpan result;
    if (status != COLEDateTimeSpan::valid) {
        result.SetStatus(static_cast<COLEDateTimeSpan::DateTimeStatus>(status));
        return result;
    }
    result = value;
    return result;
}

// The span rounded to whole seconds; false when it is not valid.
bool span_seconds(const COLEDateTimeSpan& span, int64_t* seconds) {
    if (span.GetStatus() != COLEDateTimeSpan::valid || !span_in_range(span.m_span))
        return false;
    *seconds = llround(span.m_span * static_cast<double>(kSecondsPerDay));
    return true;
}

// The span's whole seconds counted in unit, less what next_unit holds
// (none when it is 0); 0 when the span is not valid.
long span_part(const COLEDateTimeSpan& span, int64_t unit, int64_t next_unit) {
    int64_t seconds;
    if (!span_seconds(span, &seconds))
        return 0;
    return static_cast<long>((next_unit ? seconds % next_unit : seconds) / unit);
}

// Equal when both are null, or both valid with equal values.
template <class T> bool equal_values(const T& a, const T& b, double a_value, double b_value) {
    if (a.GetStatus() == T::null || b.GetStatus() == T::null)
        return a.GetStatus() == b.GetStatus();
    return a.GetStatus() == T::valid && b.GetStatus() == T::valid && a_value == b_value;
}

// Ordered only when both are valid.
template <class T> bool less_values(const T& a, const T& b, double a_value, double b_value) {
    return a.GetStatus() == T::valid && b.GetStatus() == T::valid && a_value < b_value;
}

// Reads one fixed-width part; the part ends early at the end of the text.
int read_part(const char* text, size_t length, size_t offset, size_t width) {
    char part[5] = "";
    for (size_t i = 0; i < width && offset + i < length; ++i)
        part[i] = text[offset + i];
    return atoi(part);
}

} // namespace

// Both classes derive their other comparisons from == and <, and their
// compound assignments from + and -.
#define QUILL_NTC_DERIVED_COMPARISONS(T)                                                           \
    bool T::operator!=(const T& other) const {                                                     \
        return !(*this == other);                                                                  \
    }                                                                                              \
                                                                                                   \
    bool T::operator>(const T& other) const {                                                      \
        return other < *this;                                                                      \
    }                                                                                              \
                                                                                                   \
    bool T::operator<=(const T& other) const {                                                     \
        return *this < other || *this == other;                                                    \
    }                                                                                              \
                                                                                                   \
    bool T::operator>=(const T& other) const {                                                     \
        return other < *this || *this == other;                                                    \
    }

#define QUILL_NTC_COMPOUND_ASSIGNMENTS(T, OPERAND)                                                 \
    T& T::operator+=(const OPERAND& other) {                                                       \
        *this = *this + other;                                                                     \
        return *this;                                                                              \
    }                                                                                              \
                                                                                                   \
    T& T::operator-=(const OPERAND& other) {                                                       \
        *this = *this - other;                                                                     \
        return *this;                                                                              \
    }

// ---- COLEDateTime ----------------------------------------------------------

COLEDateTime COLEDateTime::GetTickCount() {
    SYSTEMTIME now;
    qp::local_time(&now);
    return COLEDateTime(now);
}

COLEDateTime::COLEDateTime() : m_dt(0), m_status(valid) {}

COLEDateTime::COLEDateTime(double dateSrc) : m_dt(0), m_status(valid) {
    *this = dateSrc;
}

COLEDateTime::COLEDateTime(time_t timeSrc) : m_dt(0), m_status(valid) {
    *this = timeSrc;
}

COLEDateTime::COLEDateTime(const SYSTEMTIME& systimeSrc) : m_dt(0), m_status(valid) {
    *this = systimeSrc;
}

COLEDateTime::COLEDateTime(const FILETIME& filetimeSrc) : m_dt(0), m_status(valid) {
    *this = filetimeSrc;
}

COLEDateTime::COLEDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
    : m_dt(0), m_status(valid) {
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

COLEDateTime::COLEDateTime(WORD wDosDate, WORD wDosTime) : m_dt(0), m_status(valid) {
    // Two-second units above 29, month 0 or day 0 fail in SetDateTime.
    SetDateTime(1980 + (wDosDate >> 9), (wDosDate >> 5) & 0x0f, wDosDate & 0x1f, wDosTime >> 11,
                (wDosTime >> 5) & 0x3f, (wDosTime & 0x1f) * 2);
}

COLEDateTime& COLEDateTime::operator=(double dateSrc) {
    // Any day count is taken as it is; only its parts are out of reach when
    // it lies outside the range. What is no number at all is no date.
    m_dt = dateSrc;
    m_status = isfinite(dateSrc) ? valid : invalid;
    return *this;
}

COLEDateTime& COLEDateTime::operator=(time_t timeSrc) {
    SYSTEMTIME local;
    if (qp::local_time_from_epoch(static_cast<int64_t>(timeSrc), &local))
        *this = local;
    else
        m_status = invalid;
    return *this;
}

COLEDateTime& COLEDateTime::operator=(const SYSTEMTIME& systimeSrc) {
    // Milliseconds are dropped, as by the system's own conversion.
    SetDateTime(systimeSrc.wYear, systimeSrc.wMonth, systimeSrc.wDay, systimeSrc.wHour,
                systimeSrc.wMinute, systimeSrc.wSecond);
    return *this;
}

COLEDateTime& COLEDateTime::operator=(const FILETIME& filetimeSrc) {
    SYSTEMTIME local;
    if (qp::local_time_from_file_time(filetimeSrc, &local))
        *this = local;
    else
        m_status = invalid;
    return *this;
}

int COLEDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) {
    // Years before 100 are built like any other (their value lies before
    // the range, so their parts cannot be read back); a negative year is
    // above 9999 as the unsigned number it would be.
    if (nYear < 0 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1 ||
        nDay > days_in_month(nYear, nMonth) || nHour < 0 || nHour > 23 || nMin < 0 || nMin > 59 ||
        nSec < 0 || nSec > 59) {
        m_status = invalid;
        return 0;
    }
    const double day = static_cast<double>(days_from_civil(nYear, nMonth, nDay) + kUnixEpochDay);
    const double time =
        static_cast<double>(nHour * 3600 + nMin * 60 + nSec) / static_cast<double>(kSecondsPerDay);
    // Written directly rather than through from_linear, which would lose
    // the exact fraction to a subtraction.
    m_dt = day >= 0 ? day + time : day - time;
    m_status = valid;
    return 1;
}

int COLEDateTime::SetDate(int nYear, int nMonth, int nDay) {
    return SetDateTime(nYear, nMonth, nDay, 0, 0, 0);
}

int COLEDateTime::SetTime(int nHour, int nMin, int nSec) {
    return SetDateTime(1899, 12, 30, nHour, nMin, nSec);
}

int COLEDateTime::ParseDateTime(const char* lpszDate, unsigned long dwFlags) {
    static const size_t kSeparated[6] = {0, 5, 8, 11, 14, 17};
    static const size_t kCompact[6] = {0, 4, 6, 8, 10, 12};
    if (!lpszDate || (dwFlags != 1 && dwFlags != 2))
        return 0;
    const size_t* offsets = dwFlags == 1 ? kSeparated : kCompact;
    // Never look beyond the terminator of a short text.
    size_t length = 0;
    while (length < 19 && lpszDate[length])
        ++length;
    int parts[6];
    for (int i = 0; i < 6; ++i)
        parts[i] = read_part(lpszDate, length, offsets[i], i == 0 ? 4 : 2);
    return SetDateTime(parts[0], parts[1], parts[2], parts[3], parts[4], parts[5]);
}

bool COLEDateTime::GetAsSystemTime(SYSTEMTIME& sysTime) const {
    DateParts parts;
    if (!split_date(*this, &parts))
        return false;
    sysTime.wYear = static_cast<WORD>(parts.year);
    sysTime.wMonth = static_cast<WORD>(parts.month);
    sysTime.wDayOfWeek = static_cast<WORD>(GetDayOfWeek() - 1);
    sysTime.wDay = static_cast<WORD>(parts.day);
    sysTime.wHour = static_cast<WORD>(parts.hour);
    sysTime.wMinute = static_cast<WORD>(parts.minute);
    sysTime.wSecond = static_cast<WORD>(parts.second);
    sysTime.wMilliseconds = 0;
    return true;
}

// The parts read straight from a date's split; -1 when it is not valid.
#define QUILL_NTC_DATE_PARTS(X)                                                                    \
    X(GetYear, year)                                                                               \
    X(GetMonth, month)                                                                             \
    X(GetDay, day)                                                                                 \
    X(GetHour, hour)                                                                               \
    X(GetMinute, minute)                                                                           \
    X(GetSecond, second)

#define QUILL_NTC_DATE_PART(NAME, FIELD)                                                           \
    int COLEDateTime::NAME() const {                                                               \
        DateParts parts;                                                                           \
        return split_date(*this, &parts) ? parts.FIELD : -1;                                       \
    }

QUILL_NTC_DATE_PARTS(QUILL_NTC_DATE_PART)

#undef QUILL_NTC_DATE_PART
#undef QUILL_NTC_DATE_PARTS

int COLEDateTime::GetDayOfWeek() const {
    DateParts parts;
    if (!split_date(*this, &parts))
        return -1;
    // Day 0, 30 December 1899, was a Saturday.
    return static_cast<int>(((parts.day_number + 6) % 7 + 7) % 7) + 1;
}

int COLEDateTime::GetDayOfYear() const {
    DateParts parts;
    if (!split_date(*this, &parts))
        return -1;
    return static_cast<int>(parts.day_number - kUnixEpochDay - days_from_civil(parts.year, 1, 1)) +
           1;
}

bool COLEDateTime::operator==(const COLEDateTime& other) const {
    return equal_values(*this, other, to_linear(m_dt), to_linear(other.m_dt));
}

bool COLEDateTime::operator<(const COLEDateTime& other) const {
    return less_values(*this, other, to_linear(m_dt), to_linear(other.m_dt));
}

QUILL_NTC_DERIVED_COMPARISONS(COLEDateTime)

COLEDateTime COLEDateTime::operator+(const COLEDateTimeSpan& span) const {
    return make_date(to_linear(m_dt) + span.m_span, combined_status(*this, span));
}

COLEDateTime COLEDateTime::operator-(const COLEDateTimeSpan& span) const {
    return make_date(to_linear(m_dt) - span.m_span, combined_status(*this, span));
}

QUILL_NTC_COMPOUND_ASSIGNMENTS(COLEDateTime, COLEDateTimeSpan)

COLEDateTimeSpan COLEDateTime::operator-(const COLEDateTime& other) const {
    return make_span(to_linear(m_dt) - to_linear(other.m_dt), combined_status(*this, other));
}

// ---- COLEDateTimeSpan ------------------------------------------------------

COLEDateTimeSpan::COLEDateTimeSpan() : m_span(0), m_status(valid) {}

COLEDateTimeSpan::COLEDateTimeSpan(double dblSpanSrc) : m_span(0), m_status(valid) {
    *this = dblSpanSrc;
}

COLEDateTimeSpan::COLEDateTimeSpan(long lDays, int nHours, int nMins, int nSecs)
    : m_span(0), m_status(valid) {
    SetDateTimeSpan(lDays, nHours, nMins, nSecs);
}

COLEDateTimeSpan& COLEDateTimeSpan::operator=(double dblSpanSrc) {
    m_span = dblSpanSrc;
    m_status = span_in_range(dblSpanSrc) ? valid : invalid;
    return *this;
}

void COLEDateTimeSpan::SetDateTimeSpan(long lDays, int nHours, int nMins, int nSecs) {
    // In doubles: hours times 3600 may not fit an int.
    const double seconds = static_cast<double>(nHours) * 3600.0 +
                           static_cast<double>(nMins) * 60.0 + static_cast<double>(nSecs);
    *this = static_cast<double>(lDays) + seconds / static_cast<double>(kSecondsPerDay);
}

// The parts of a span: its whole seconds counted in the part's unit, less
// what the next larger unit holds (days have none); each keeps the span's
// sign.
#define QUILL_NTC_SPAN_PARTS(X)                                                                    \
    X(GetDays, kSecondsPerDay, 0)                                                                  \
    X(GetHours, 3600, kSecondsPerDay)                                                              \
    X(GetMinutes, 60, 3600)                                                                        \
    X(GetSeconds, 1, 60)

#define QUILL_NTC_SPAN_PART(NAME, UNIT, NEXT_UNIT)                                                 \
    long COLEDateTimeSpan::NAME() const {                                                          \
        return span_part(*this, UNIT, NEXT_UNIT);                                                  \
    }

QUILL_NTC_SPAN_PARTS(QUILL_NTC_SPAN_PART)

#undef QUILL_NTC_SPAN_PART
#undef QUILL_NTC_SPAN_PARTS

double COLEDateTimeSpan::GetTotalDays() const {
    return m_status == valid && span_in_range(m_span) ? m_span : 0.0;
}

double COLEDateTimeSpan::GetTotalHours() const {
    return GetTotalDays() * 24.0;
}

double COLEDateTimeSpan::GetTotalMinutes() const {
    return GetTotalDays() * 1440.0;
}

double COLEDateTimeSpan::GetTotalSeconds() const {
    return GetTotalDays() * 86400.0;
}

bool COLEDateTimeSpan::operator==(const COLEDateTimeSpan& other) const {
    return equal_values(*this, other, m_span, other.m_span);
}

bool COLEDateTimeSpan::operator<(const COLEDateTimeSpan& other) const {
    return less_values(*this, other, m_span, other.m_span);
}

QUILL_NTC_DERIVED_COMPARISONS(COLEDateTimeSpan)

COLEDateTimeSpan COLEDateTimeSpan::operator+(const COLEDateTimeSpan& other) const {
    return make_span(m_span + other.m_span, combined_status(*this, other));
}

COLEDateTimeSpan COLEDateTimeSpan::operator-(const COLEDateTimeSpan& other) const {
    return make_span(m_span - other.m_span, combined_status(*this, other));
}

QUILL_NTC_COMPOUND_ASSIGNMENTS(COLEDateTimeSpan, COLEDateTimeSpan)

#undef QUILL_NTC_COMPOUND_ASSIGNMENTS
#undef QUILL_NTC_DERIVED_COMPARISONS

COLEDateTimeSpan COLEDateTimeSpan::operator-() const {
    COLEDateTimeSpan result(*this);
    result.m_span = -m_span;
    return result;
}
