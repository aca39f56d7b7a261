// COLEDateTime and COLEDateTimeSpan: a calendar time and a time span held as
// a count of days in a double, each with a status.
//
// A date value counts days since 30 December 1899 00:00; its fraction is the
// time of day. A negative date keeps a positive time of day: -1.25 is
// 29 December 1899 06:00, not 28 December 18:00. Arithmetic therefore works
// on a linear day count and converts back.
//
// Status rules for every operator: a null operand gives a null result, else
// an invalid operand gives an invalid result, else the result is valid
// unless it leaves the range (a date from 1 January 100 to 31 December 9999,
// a span of at most 3615897 days either way). Not-a-number and infinite
// values are never valid.
#ifndef QUILLNTC_COLEDATETIME_H
#define QUILLNTC_COLEDATETIME_H

#include <time.h>

#include "NTCExport.h"
#include "quill/platform/types.h"

class COLEDateTimeSpan;

class QUILLNTC_API COLEDateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    // The current local date and time, read from the clock in force.
    static COLEDateTime GetTickCount();

    COLEDateTime();
    COLEDateTime(const COLEDateTime& other) = default;
    COLEDateTime(double dateSrc);
    COLEDateTime(time_t timeSrc);
    COLEDateTime(const SYSTEMTIME& systimeSrc);
    // A FILETIME is UTC; the date holds the matching local time.
    COLEDateTime(const FILETIME& filetimeSrc);
    COLEDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    // DOS packed date (day 0-4, month 5-8, years since 1980 9-15) and
    // time (two-second units 0-4, minute 5-10, hour 11-15).
    COLEDateTime(WORD wDosDate, WORD wDosTime);

    COLEDateTime& operator=(const COLEDateTime& other) = default;
    // A double that is not finite or lies outside the range is kept but
    // marked invalid. A time_t, SYSTEMTIME or FILETIME that cannot be
    // converted marks the date invalid and keeps the value.
    COLEDateTime& operator=(double dateSrc);
    COLEDateTime& operator=(time_t timeSrc);
    COLEDateTime& operator=(const SYSTEMTIME& systimeSrc);
    COLEDateTime& operator=(const FILETIME& filetimeSrc);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator double() const { return m_dt; }

    // Returns 1 and makes the date valid when every part is in range (year
    // 100-9999); otherwise returns 0, marks the date invalid and keeps the
    // value.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay);
    int SetTime(int nHour, int nMin, int nSec);

    // Fixed-width text: flags 1 for "2003-07-15 09:30:00" (separators not
    // examined), flags 2 for "20030715093000". Parts missing from a short
    // text read as 0. Returns the result of SetDateTime; a null text or
    // other flags return 0 and leave the date as it was.
    int ParseDateTime(const char* lpszDate, unsigned long dwFlags);

    // Fills the structure (milliseconds 0, day of week 0 = Sunday); false,
    // leaving it untouched, when the date is not valid.
    bool GetAsSystemTime(SYSTEMTIME& sysTime) const;

    // Parts rounded to the nearest second; -1 when the date is not valid.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const; // 1 = Sunday
    int GetDayOfYear() const; // 1 = 1 January

    // Equal when both are valid and mean the same moment, or both are null.
    bool operator==(const COLEDateTime& other) const;
    bool operator!=(const COLEDateTime& other) const;
    // Ordered only when both are valid; false otherwise.
    bool operator<(const COLEDateTime& other) const;
    bool operator>(const COLEDateTime& other) const;
    bool operator<=(const COLEDateTime& other) const;
    bool operator>=(const COLEDateTime& other) const;

    COLEDateTime operator+(const COLEDateTimeSpan& span) const;
    COLEDateTime operator-(const COLEDateTimeSpan& span) const;
    COLEDateTime& operator+=(const COLEDateTimeSpan& span);
    COLEDateTime& operator-=(const COLEDateTimeSpan& span);
    COLEDateTimeSpan operator-(const COLEDateTime& other) const;

    double m_dt;
    DateTimeStatus m_status;
};

class QUILLNTC_API COLEDateTimeSpan {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COLEDateTimeSpan();
    COLEDateTimeSpan(const COLEDateTimeSpan& other) = default;
    COLEDateTimeSpan(double dblSpanSrc);
    COLEDateTimeSpan(long lDays, int nHours, int nMins, int nSecs);

    COLEDateTimeSpan& operator=(const COLEDateTimeSpan& other) = default;
    COLEDateTimeSpan& operator=(double dblSpanSrc);

    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }
    operator double() const { return m_span; }

    // Parts beyond their unit carry over (48 hours are two days).
    void SetDateTimeSpan(long lDays, int nHours, int nMins, int nSecs);

    // Parts of the span rounded to the nearest second; each carries the
    // span's sign (-1.5 days: -1 day, -12 hours). 0 when not valid.
    long GetDays() const;
    long GetHours() const;
    long GetMinutes() const;
    long GetSeconds() const;
    // The value times 1, 24, 1440 and 86400; 0 when not valid.
    double GetTotalDays() const;
    double GetTotalHours() const;
    double GetTotalMinutes() const;
    double GetTotalSeconds() const;

    bool operator==(const COLEDateTimeSpan& other) const;
    bool operator!=(const COLEDateTimeSpan& other) const;
    bool operator<(const COLEDateTimeSpan& other) const;
    bool operator>(const COLEDateTimeSpan& other) const;
    bool operator<=(const COLEDateTimeSpan& other) const;
    bool operator>=(const COLEDateTimeSpan& other) const;

    COLEDateTimeSpan operator+(const COLEDateTimeSpan& other) const;
    COLEDateTimeSpan operator-(const COLEDateTimeSpan& other) const;
    COLEDateTimeSpan& operator+=(const COLEDateTimeSpan& other);
    COLEDateTimeSpan& operator-=(const COLEDateTimeSpan& other);
    COLEDateTimeSpan operator-() const;

    double m_span;
    DateTimeStatus m_status;
};

#endif
