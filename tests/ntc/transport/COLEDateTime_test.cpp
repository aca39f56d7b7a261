#include "transport/COLEDateTime.h"

#include <gtest/gtest.h>

#include <cmath>

#include <stddef.h>

#include <limits>

#include "support/test_clock.h"

namespace {

struct Parts {
    int year, month, day, hour, minute, second;
};

void expect_parts(const COLEDateTime& date, const Parts& want) {
    EXPECT_EQ(date.GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(date.GetYear(), want.year);
    EXPECT_EQ(date.GetMonth(), want.month);
    EXPECT_EQ(date.GetDay(), want.day);
    EXPECT_EQ(date.GetHour(), want.hour);
    EXPECT_EQ(date.GetMinute(), want.minute);
    EXPECT_EQ(date.GetSecond(), want.second);
}

COLEDateTimeSpan seconds(double n) {
    return COLEDateTimeSpan(n / 86400.0);
}

TEST(COLEDateTime, SetDateTimeAcceptsOnlyRealCalendarTimes) {
    struct Row {
        int year, month, day, hour, minute, second;
        bool valid;
    };
    const Row rows[] = {
        {2004, 2, 29, 0, 0, 0, true},     {2003, 2, 29, 0, 0, 0, false},
        {1900, 2, 29, 0, 0, 0, false},    {2000, 2, 29, 0, 0, 0, true},
        {2003, 4, 31, 0, 0, 0, false},    {2003, 12, 31, 0, 0, 0, true},
        {9999, 12, 31, 23, 59, 59, true}, {10000, 1, 1, 0, 0, 0, false},
        {100, 1, 1, 0, 0, 0, true},       {99, 12, 31, 0, 0, 0, true},
        {0, 1, 1, 0, 0, 0, true},         {-1, 1, 1, 0, 0, 0, false},
        {2003, 0, 1, 0, 0, 0, false},     {2003, 13, 1, 0, 0, 0, false},
        {2003, 1, 0, 0, 0, 0, false},     {2003, 1, 1, 24, 0, 0, false},
        {2003, 1, 1, 0, 60, 0, false},    {2003, 1, 1, 0, 0, 60, false},
        {2003, 1, 1, -1, 0, 0, false},
    };
    for (const Row& row : rows) {
        COLEDateTime date;
        int result =
            date.SetDateTime(row.year, row.month, row.day, row.hour, row.minute, row.second);
        SCOPED_TRACE(testing::Message() << row.year << "-" << row.month << "-" << row.day << " "
                                        << row.hour << ":" << row.minute << ":" << row.second);
        EXPECT_EQ(result, row.valid ? 1 : 0);
        EXPECT_EQ(date.GetStatus(), row.valid ? COLEDateTime::valid : COLEDateTime::invalid);
        const double value = static_cast<double>(date);
        if (row.valid && value >= -657434.0 && value <= 2958465.0)
            expect_parts(date, {row.year, row.month, row.day, row.hour, row.minute, row.second});
        else
            EXPECT_EQ(date.GetYear(), -1) << "no parts outside 1 Jan 100 .. 31 Dec 9999 00:00";
    }
}

TEST(COLEDateTime, KnownValuesOfTheDayCount) {
    EXPECT_EQ(static_cast<double>(COLEDateTime(1899, 12, 30, 0, 0, 0)), 0.0);
    EXPECT_EQ(static_cast<double>(COLEDateTime(1900, 1, 1, 0, 0, 0)), 2.0);
    EXPECT_EQ(static_cast<double>(COLEDateTime(100, 1, 1, 0, 0, 0)), -657434.0);
    EXPECT_EQ(static_cast<double>(COLEDateTime(9999, 12, 31, 0, 0, 0)), 2958465.0);
    EXPECT_EQ(static_cast<double>(COLEDateTime(2000, 1, 1, 6, 0, 0)), 36526.25);
    expect_parts(COLEDateTime(36526.25), {2000, 1, 1, 6, 0, 0});

    COLEDateTime date(2003, 7, 15, 9, 30, 0); // a Tuesday
    EXPECT_EQ(date.GetDayOfWeek(), 3);
    EXPECT_EQ(date.GetDayOfYear(), 196);
    EXPECT_EQ(COLEDateTime(0.0).GetDayOfWeek(), 7);
    EXPECT_EQ(COLEDateTime(2004, 12, 31, 0, 0, 0).GetDayOfYear(), 366);

    COLEDateTime time;
    time.SetTime(18, 0, 0);
    EXPECT_EQ(static_cast<double>(time), 0.75);
    COLEDateTime day;
    day.SetDate(1900, 1, 1);
    EXPECT_EQ(static_cast<double>(day), 2.0);
}

TEST(COLEDateTime, PartsRoundToTheNearestSecond) {
    const double second = 1.0 / 86400.0;
    expect_parts(COLEDateTime(2.0 - 0.4 * second), {1900, 1, 1, 0, 0, 0});
    expect_parts(COLEDateTime(2.0 + 0.6 * second), {1900, 1, 1, 0, 0, 1});
    // Half a second before midnight belongs to the next day.
    expect_parts(COLEDateTime(3.0 - 0.4 * second), {1900, 1, 2, 0, 0, 0});
    // Nothing after the first moment of 31 December 9999 is split at all.
    expect_parts(COLEDateTime(2958465.0), {9999, 12, 31, 0, 0, 0});
    EXPECT_EQ(COLEDateTime(2958465.0 + 0.4 * second).GetYear(), -1);
}

TEST(COLEDateTime, NegativeDatesKeepAForwardTimeOfDay) {
    COLEDateTime date(-1.25);
    expect_parts(date, {1899, 12, 29, 6, 0, 0});
    EXPECT_EQ(static_cast<double>(COLEDateTime(1899, 12, 29, 6, 0, 0)), -1.25);
    EXPECT_EQ(static_cast<double>(COLEDateTime(1899, 12, 28, 18, 0, 0)), -2.75);

    // 29 Dec 06:00 plus one day is 30 Dec 06:00 (0.25), not 30 Dec 18:00.
    COLEDateTime later = date + COLEDateTimeSpan(1.0);
    EXPECT_EQ(static_cast<double>(later), 0.25);
    expect_parts(later, {1899, 12, 30, 6, 0, 0});
    // And back across zero: 31 Dec 1899 03:00 minus two days.
    COLEDateTime earlier = COLEDateTime(1.125) - COLEDateTimeSpan(2.0);
    EXPECT_EQ(static_cast<double>(earlier), -1.125);
    expect_parts(earlier, {1899, 12, 29, 3, 0, 0});

    COLEDateTimeSpan difference = COLEDateTime(0.25) - COLEDateTime(-1.25);
    EXPECT_EQ(static_cast<double>(difference), 1.0);
    EXPECT_TRUE(COLEDateTime(-1.25) < COLEDateTime(-1.5)) << "06:00 comes before 12:00";
    EXPECT_TRUE(COLEDateTime(-0.25) == COLEDateTime(0.25)) << "both are 30 Dec 06:00";
}

TEST(COLEDateTime, SystemTimeRoundTrips) {
    const Parts samples[] = {{2003, 7, 15, 9, 30, 5},
                             {1899, 12, 29, 23, 59, 59},
                             {100, 1, 1, 0, 0, 0},
                             {9999, 12, 31, 0, 0, 0},
                             {1601, 3, 1, 12, 0, 0}};
    for (const Parts& p : samples) {
        SYSTEMTIME in = SYSTEMTIME();
        in.wYear = static_cast<WORD>(p.year);
        in.wMonth = static_cast<WORD>(p.month);
        in.wDay = static_cast<WORD>(p.day);
        in.wHour = static_cast<WORD>(p.hour);
        in.wMinute = static_cast<WORD>(p.minute);
        in.wSecond = static_cast<WORD>(p.second);
        in.wMilliseconds = 999;
        COLEDateTime date(in);
        SYSTEMTIME out = SYSTEMTIME();
        ASSERT_TRUE(date.GetAsSystemTime(out)) << p.year;
        EXPECT_EQ(out.wYear, in.wYear);
        EXPECT_EQ(out.wMonth, in.wMonth);
        EXPECT_EQ(out.wDay, in.wDay);
        EXPECT_EQ(out.wHour, in.wHour);
        EXPECT_EQ(out.wMinute, in.wMinute);
        EXPECT_EQ(out.wSecond, in.wSecond);
        EXPECT_EQ(out.wMilliseconds, 0);
        EXPECT_EQ(out.wDayOfWeek + 1, date.GetDayOfWeek());
        EXPECT_EQ(COLEDateTime(out), date);
    }
    SYSTEMTIME untouched = SYSTEMTIME();
    untouched.wYear = 1234;
    COLEDateTime bad(2003, 2, 30, 0, 0, 0);
    EXPECT_FALSE(bad.GetAsSystemTime(untouched));
    EXPECT_EQ(untouched.wYear, 1234);
}

TEST(COLEDateTime, TimeAndFileTimeAreLocalTimesOfOneMoment) {
    // 15 January 2003 12:00:00 UTC. The local zone is unknown here, so the
    // local date must lie within fourteen hours of the UTC one.
    const time_t moment = 1042632000;
    COLEDateTime from_time(moment);
    ASSERT_EQ(from_time.GetStatus(), COLEDateTime::valid);
    COLEDateTimeSpan offset = from_time - COLEDateTime(2003, 1, 15, 12, 0, 0);
    EXPECT_LE(offset.GetTotalHours(), 14.0);
    EXPECT_GE(offset.GetTotalHours(), -14.0);

    const unsigned long long ticks = (1042632000ULL + 11644473600ULL) * 10000000ULL + 4999999ULL;
    FILETIME file_time;
    file_time.dwLowDateTime = static_cast<DWORD>(ticks);
    file_time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    EXPECT_EQ(COLEDateTime(file_time), from_time) << "sub-second part is dropped";

    COLEDateTime assigned;
    assigned = file_time;
    EXPECT_EQ(assigned, from_time);
    assigned = moment + 86400;
    EXPECT_EQ(assigned - from_time, COLEDateTimeSpan(1.0));

    COLEDateTime before_1970(static_cast<time_t>(-1));
    EXPECT_EQ(before_1970.GetStatus(), COLEDateTime::invalid);
}

TEST(COLEDateTime, DosDateAndTime) {
    // 15 July 2003 09:30:06: years since 1980 23, month 7, day 15; hour 9,
    // minute 30, two-second units 3.
    const WORD dos_date = static_cast<WORD>((23 << 9) | (7 << 5) | 15);
    const WORD dos_time = static_cast<WORD>((9 << 11) | (30 << 5) | 3);
    EXPECT_EQ(COLEDateTime(dos_date, dos_time), COLEDateTime(2003, 7, 15, 9, 30, 6));
    expect_parts(COLEDateTime(WORD(0x21), WORD(0)), {1980, 1, 1, 0, 0, 0});

    EXPECT_EQ(COLEDateTime(WORD((23 << 9) | (13 << 5) | 1), dos_time).GetStatus(),
              COLEDateTime::invalid);
    EXPECT_EQ(COLEDateTime(WORD((23 << 9) | (2 << 5) | 30), dos_time).GetStatus(),
              COLEDateTime::invalid);
    EXPECT_EQ(COLEDateTime(WORD((23 << 9) | (7 << 5) | 0), dos_time).GetStatus(),
              COLEDateTime::invalid);
    EXPECT_EQ(COLEDateTime(dos_date, WORD((24 << 11))).GetStatus(), COLEDateTime::invalid);
    EXPECT_EQ(COLEDateTime(dos_date, WORD(30)).GetStatus(), COLEDateTime::invalid) << "60 seconds";
}

TEST(COLEDateTime, ArithmeticAtTheEndsOfTheRange) {
    COLEDateTime last(9999, 12, 30, 23, 59, 59);
    EXPECT_EQ((last + seconds(1)).GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(static_cast<double>(last + seconds(1)), 2958465.0);
    EXPECT_EQ((last + seconds(2)).GetStatus(), COLEDateTime::invalid);
    EXPECT_EQ((COLEDateTime(2958465.0) + COLEDateTimeSpan(0.5)).GetStatus(),
              COLEDateTime::invalid);

    COLEDateTime first(100, 1, 1, 0, 0, 1);
    EXPECT_EQ((first - seconds(1)).GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(static_cast<double>(first - seconds(1)), -657434.0);
    EXPECT_EQ((first - seconds(2)).GetStatus(), COLEDateTime::invalid);

    COLEDateTime walking = first;
    walking -= seconds(2);
    EXPECT_EQ(walking.GetStatus(), COLEDateTime::invalid);
    EXPECT_EQ(walking.GetYear(), -1);

    // Assigned values keep their status; only their parts are out of reach.
    for (double outside : {2958465.5, 2958466.0, 3000000.0, -657434.5, -657435.0}) {
        COLEDateTime assigned;
        assigned = outside;
        EXPECT_EQ(assigned.GetStatus(), COLEDateTime::valid) << outside;
        EXPECT_EQ(assigned.GetYear(), -1) << outside;
        SYSTEMTIME parts;
        EXPECT_FALSE(assigned.GetAsSystemTime(parts)) << outside;
        EXPECT_EQ((assigned + COLEDateTimeSpan(0.0)).GetStatus(), COLEDateTime::invalid);
    }
    COLEDateTime before_100;
    EXPECT_EQ(before_100.SetDateTime(99, 12, 31, 0, 0, 0), 1);
    EXPECT_EQ(before_100.GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(static_cast<double>(before_100), -657435.0);

    // The whole range is 3615899 days and more, beyond the longest span.
    COLEDateTimeSpan whole = COLEDateTime(9999, 12, 31, 0, 0, 0) - COLEDateTime(100, 1, 1, 0, 0, 0);
    EXPECT_EQ(whole.GetStatus(), COLEDateTimeSpan::invalid);
    COLEDateTimeSpan longest =
        COLEDateTime(9999, 12, 29, 0, 0, 0) - COLEDateTime(100, 1, 1, 0, 0, 0);
    EXPECT_EQ(longest.GetStatus(), COLEDateTimeSpan::valid);
    EXPECT_EQ(longest.GetDays(), 3615897);
    EXPECT_EQ((longest + seconds(1)).GetStatus(), COLEDateTimeSpan::invalid);
    EXPECT_EQ((-longest - seconds(1)).GetStatus(), COLEDateTimeSpan::invalid);
}

TEST(COLEDateTime, NonFiniteAndHugeValuesAreInvalidNotUndefined) {
    const double values[] = {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 1e300, -1e300};
    for (double value : values) {
        COLEDateTime date(value);
        // A finite day count is taken; what is no number is no date.
        EXPECT_EQ(date.GetStatus(),
                  std::isfinite(value) ? COLEDateTime::valid : COLEDateTime::invalid)
            << value;
        EXPECT_EQ(date.GetSecond(), -1);
        COLEDateTimeSpan span(value);
        EXPECT_EQ(span.GetStatus(), COLEDateTimeSpan::invalid) << value;
        EXPECT_EQ(span.GetSeconds(), 0);
        EXPECT_EQ((COLEDateTime(2003, 1, 1, 0, 0, 0) + span).GetStatus(), COLEDateTime::invalid);

        // Even a value forced to "valid" from outside must not be split.
        date.SetStatus(COLEDateTime::valid);
        EXPECT_EQ(date.GetDay(), -1);
        span.SetStatus(COLEDateTimeSpan::valid);
        EXPECT_EQ(span.GetDays(), 0);
        EXPECT_EQ((COLEDateTime(2003, 1, 1, 0, 0, 0) + span).GetStatus(), COLEDateTime::invalid);
    }
}

TEST(COLEDateTime, NullWinsOverInvalidInEveryOperator) {
    COLEDateTime good(2003, 7, 15, 0, 0, 0);
    COLEDateTime bad(2003, 2, 30, 0, 0, 0);
    COLEDateTime none;
    none.SetStatus(COLEDateTime::null);
    COLEDateTimeSpan day(1.0);
    COLEDateTimeSpan bad_span(1.0);
    bad_span.SetStatus(COLEDateTimeSpan::invalid);
    COLEDateTimeSpan no_span(1.0);
    no_span.SetStatus(COLEDateTimeSpan::null);

    EXPECT_EQ((none + day).GetStatus(), COLEDateTime::null);
    EXPECT_EQ((bad + no_span).GetStatus(), COLEDateTime::null);
    EXPECT_EQ((bad + day).GetStatus(), COLEDateTime::invalid);
    EXPECT_EQ((good - bad_span).GetStatus(), COLEDateTime::invalid);
    EXPECT_EQ((good - none).GetStatus(), COLEDateTimeSpan::null);
    EXPECT_EQ((bad - none).GetStatus(), COLEDateTimeSpan::null);
    EXPECT_EQ((good - bad).GetStatus(), COLEDateTimeSpan::invalid);
    EXPECT_EQ((day + bad_span).GetStatus(), COLEDateTimeSpan::invalid);
    EXPECT_EQ((bad_span - no_span).GetStatus(), COLEDateTimeSpan::null);
    EXPECT_EQ((-no_span).GetStatus(), COLEDateTimeSpan::null);
    EXPECT_EQ((good + day).GetStatus(), COLEDateTime::valid);

    COLEDateTime other_none;
    other_none.SetStatus(COLEDateTime::null);
    EXPECT_TRUE(none == other_none);
    EXPECT_FALSE(bad == bad);
    EXPECT_FALSE(none == good);
    EXPECT_FALSE(bad < good);
    EXPECT_FALSE(good >= bad);
    EXPECT_TRUE(good < good + day);
}

TEST(COLEDateTime, ParseDateTimeFixedWidthForms) {
    COLEDateTime separated;
    EXPECT_EQ(separated.ParseDateTime("2003-07-15 09:30:45", 1), 1);
    COLEDateTime compact;
    EXPECT_EQ(compact.ParseDateTime("20030715093045", 2), 1);
    EXPECT_EQ(separated, compact);
    expect_parts(compact, {2003, 7, 15, 9, 30, 45});
    // The separators are not examined.
    COLEDateTime odd;
    EXPECT_EQ(odd.ParseDateTime("2003x07y15z09:30:45", 1), 1);
    EXPECT_EQ(odd, compact);

    COLEDateTime month13;
    EXPECT_EQ(month13.ParseDateTime("2003-13-15 09:30:45", 1), 0);
    EXPECT_EQ(month13.GetStatus(), COLEDateTime::invalid);
    EXPECT_EQ(month13.ParseDateTime("20031315093045", 2), 0);
    EXPECT_EQ(month13.GetStatus(), COLEDateTime::invalid);
}

TEST(COLEDateTime, ParseDateTimeStaysInsideShortTexts) {
    // Exactly sized buffers without slack, so an overread shows under ASan.
    const char date_only[] = "2003-07-15";
    COLEDateTime date;
    EXPECT_EQ(date.ParseDateTime(date_only, 1), 1) << "missing time parts read as 0";
    expect_parts(date, {2003, 7, 15, 0, 0, 0});

    const char cut[] = "200307";
    EXPECT_EQ(date.ParseDateTime(cut, 2), 0) << "the day reads as 0";
    EXPECT_EQ(date.GetStatus(), COLEDateTime::invalid);
    const char empty[] = "";
    EXPECT_EQ(date.ParseDateTime(empty, 1), 0);
    const char one[] = "2";
    EXPECT_EQ(date.ParseDateTime(one, 2), 0);

    COLEDateTime kept(2003, 7, 15, 9, 30, 0);
    EXPECT_EQ(kept.ParseDateTime(nullptr, 1), 0);
    EXPECT_EQ(kept.ParseDateTime("2004-01-01 00:00:00", 0), 0);
    EXPECT_EQ(kept.ParseDateTime("2004-01-01 00:00:00", 3), 0);
    EXPECT_EQ(kept, COLEDateTime(2003, 7, 15, 9, 30, 0));
    EXPECT_EQ(kept.GetStatus(), COLEDateTime::valid);
}

TEST(COLEDateTime, GetTickCountReadsTheClockInForce) {
    quill_test::TestClock clock;
    quill_test::ClockInForce in_force(&clock);
    clock.set_date(2003, 7, 15);
    int reads = 0;
    clock.on_local_time = [&] { ++reads; };
    COLEDateTime now = COLEDateTime::GetTickCount();
    EXPECT_EQ(reads, 1);
    expect_parts(now, {2003, 7, 15, 12, 0, 0});
    clock.set_date(2004, 2, 29);
    EXPECT_EQ(COLEDateTime::GetTickCount(), COLEDateTime(2004, 2, 29, 12, 0, 0));
}

TEST(COLEDateTimeSpan, PartsAndTotals) {
    COLEDateTimeSpan span(3, 4, 5, 6);
    EXPECT_EQ(span.GetStatus(), COLEDateTimeSpan::valid);
    EXPECT_EQ(span.GetDays(), 3);
    EXPECT_EQ(span.GetHours(), 4);
    EXPECT_EQ(span.GetMinutes(), 5);
    EXPECT_EQ(span.GetSeconds(), 6);
    EXPECT_DOUBLE_EQ(span.GetTotalSeconds(), 3 * 86400 + 4 * 3600 + 5 * 60 + 6);
    EXPECT_DOUBLE_EQ(span.GetTotalMinutes(), span.GetTotalSeconds() / 60);

    COLEDateTimeSpan half(1.5);
    EXPECT_DOUBLE_EQ(half.GetTotalDays(), 1.5);
    EXPECT_DOUBLE_EQ(half.GetTotalHours(), 36.0);
    EXPECT_DOUBLE_EQ(half.GetTotalMinutes(), 2160.0);
    EXPECT_DOUBLE_EQ(half.GetTotalSeconds(), 129600.0);

    COLEDateTimeSpan negative = -span;
    EXPECT_EQ(negative.GetDays(), -3);
    EXPECT_EQ(negative.GetHours(), -4);
    EXPECT_EQ(negative.GetMinutes(), -5);
    EXPECT_EQ(negative.GetSeconds(), -6);
    EXPECT_DOUBLE_EQ(negative.GetTotalHours(), -span.GetTotalHours());
    EXPECT_EQ(COLEDateTimeSpan(0, 0, 0, -1).GetSeconds(), -1);
    EXPECT_EQ(COLEDateTimeSpan(0, 0, 0, -1).GetDays(), 0);

    // 23:59:59.9 rounds to a whole day, not to 0 days 24 hours.
    COLEDateTimeSpan almost(0.99999988);
    EXPECT_EQ(almost.GetDays(), 1);
    EXPECT_EQ(almost.GetHours(), 0);

    // Components beyond their unit carry over; hours times 3600 overflows an int.
    EXPECT_EQ(COLEDateTimeSpan(0, 48, 0, 0), COLEDateTimeSpan(2.0));
    EXPECT_EQ(COLEDateTimeSpan(0, 2000000000, 0, 0).GetStatus(), COLEDateTimeSpan::invalid);
}

TEST(COLEDateTimeSpan, ArithmeticAndOrder) {
    COLEDateTimeSpan a(1, 12, 0, 0);
    COLEDateTimeSpan b(0, 18, 0, 0);
    EXPECT_EQ(a + b, COLEDateTimeSpan(2, 6, 0, 0));
    EXPECT_EQ(a - b, COLEDateTimeSpan(0, 18, 0, 0));
    EXPECT_EQ(b - a, -COLEDateTimeSpan(0, 18, 0, 0));
    EXPECT_TRUE(-a < b);

    COLEDateTime start(2003, 12, 31, 22, 0, 0);
    COLEDateTime end = start + COLEDateTimeSpan(0, 3, 0, 0);
    expect_parts(end, {2004, 1, 1, 1, 0, 0});
    EXPECT_EQ((end - start).GetHours(), 3);
    EXPECT_EQ((start - end).GetHours(), -3);
}

TEST(COLEDateTime, LayoutIsADoubleThenAStatus) {
    // Records on the wire and in the host's structures rely on it.
    EXPECT_EQ(sizeof(COLEDateTime::DateTimeStatus), 4u);
    EXPECT_EQ(sizeof(COLEDateTime), 16u);
    EXPECT_EQ(offsetof(COLEDateTime, m_status), sizeof(double));
    EXPECT_EQ(offsetof(COLEDateTimeSpan, m_status), sizeof(double));
}

TEST(COLEDateTimeArithmetic, ResultJustBelowZeroStaysOnItsDay) {
    // 0.3 - (0.1 + 0.2) is a hair below zero in binary: midnight of
    // 30 December 1899, not two days earlier.
    const COLEDateTime result = COLEDateTime(0.3) - COLEDateTimeSpan(0.1 + 0.2);
    EXPECT_EQ(result.GetStatus(), COLEDateTime::valid);
    EXPECT_EQ(result.GetYear(), 1899);
    EXPECT_EQ(result.GetMonth(), 12);
    EXPECT_EQ(result.GetDay(), 30);
    EXPECT_NEAR(static_cast<double>(result), 0.0, 1e-9);
}

} // namespace
