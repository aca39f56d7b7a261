#include "support/test_clock.h"

namespace quill_test {

TestClock::TestClock() : year_(2026), month_(1), day_(1) {}

void TestClock::set_date(int year, int month, int day) {
    year_ = year;
    month_ = month;
    day_ = day;
}

void TestClock::set_time(int hour, int minute, int second) {
    hour_ = hour;
    minute_ = minute;
    second_ = second;
}

void TestClock::local_time(SYSTEMTIME* out) {
    if (on_local_time)
        on_local_time();
    *out = SYSTEMTIME();
    out->wYear = static_cast<WORD>(year_.load());
    out->wMonth = static_cast<WORD>(month_.load());
    out->wDay = static_cast<WORD>(day_.load());
    out->wHour = static_cast<WORD>(hour_.load());
    out->wMinute = static_cast<WORD>(minute_.load());
    out->wSecond = static_cast<WORD>(second_.load());
}

} // namespace quill_test
