// The system clock on POSIX systems.
#include "quill/platform/clock.h"

#include <errno.h>
#include <time.h>

namespace qp {
namespace {

void fill(const struct tm& parts, long nanoseconds, SYSTEMTIME* out) {
    out->wYear = static_cast<WORD>(parts.tm_year + 1900);
    out->wMonth = static_cast<WORD>(parts.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    out->wDay = static_cast<WORD>(parts.tm_mday);
    out->wHour = static_cast<WORD>(parts.tm_hour);
    out->wMinute = static_cast<WORD>(parts.tm_min);
    out->wSecond = static_cast<WORD>(parts.tm_sec);
    out->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
}

class PosixClock final : public Clock {
public:
    uint32_t tick_count() override {
        struct timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        // Truncation to 32 bits is the wrap-around every caller expects.
        return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                     static_cast<uint64_t>(now.tv_nsec / 1000000));
    }

    void local_time(SYSTEMTIME* out) override {
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        struct tm parts;
        localtime_r(&now.tv_sec, &parts);
        fill(parts, now.tv_nsec, out);
    }

    void system_time(SYSTEMTIME* out) override {
        struct timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        struct tm parts;
        gmtime_r(&now.tv_sec, &parts);
        fill(parts, now.tv_nsec, out);
    }

    void sleep(uint32_t ms) override {
        struct timespec rest = {static_cast<time_t>(ms / 1000),
                                static_cast<long>(ms % 1000) * 1000000L};
        // A signal cuts nanosleep short; go on sleeping for what is left.
        while (nanosleep(&rest, &rest) != 0 && errno == EINTR) {
        }
    }
};

} // namespace

Clock& system_clock() {
    static PosixClock instance;
    return instance;
}

} // namespace qp
