// The system clock on POSIX systems.
#include "quill/platform/clock.h"

#include <errno.h>
#include <time.h>

#include "../common/time_parts.h"

namespace qp {
namespace {

// Now, in local time or in UTC.
void now(bool local, SYSTEMTIME* out) {
    struct timespec moment;
    clock_gettime(CLOCK_REALTIME, &moment);
    struct tm parts;
    if (local)
        localtime_r(&moment.tv_sec, &parts);
    else
        gmtime_r(&moment.tv_sec, &parts);
    system_time_from_parts(parts, static_cast<unsigned>(moment.tv_nsec / 1000000), out);
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

    void local_time(SYSTEMTIME* out) override { now(true, out); }
    void system_time(SYSTEMTIME* out) override { now(false, out); }

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

namespace {

// Seconds from 1 January 1601 (the FILETIME origin) to 1 January 1970.
const int64_t kFileTimeEpochSeconds = 11644473600LL;

bool local_parts(int64_t seconds, long nanoseconds, SYSTEMTIME* out) {
    time_t when = static_cast<time_t>(seconds);
    if (static_cast<int64_t>(when) != seconds)
        return false;
    struct tm parts;
    if (!localtime_r(&when, &parts))
        return false;
    // The year range of a Windows SYSTEMTIME.
    if (parts.tm_year + 1900 < 1601 || parts.tm_year + 1900 > 30827)
        return false;
    system_time_from_parts(parts, static_cast<unsigned>(nanoseconds / 1000000), out);
    return true;
}

} // namespace

bool local_time_from_epoch(int64_t seconds, SYSTEMTIME* out) {
    // The Windows run-time library converts only 1970 to the end of 3000
    // (UTC); refuse the same moments here so both targets agree.
    if (seconds < 0 || seconds > 32535215999LL)
        return false;
    return local_parts(seconds, 0, out);
}

bool local_time_from_file_time(const FILETIME& utc, SYSTEMTIME* out) {
    const uint64_t ticks = (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
    // Windows refuses the values whose top bit is set; so do we.
    if (ticks >> 63)
        return false;
    const int64_t seconds = static_cast<int64_t>(ticks / 10000000u) - kFileTimeEpochSeconds;
    const long nanoseconds = static_cast<long>(ticks % 10000000u) * 100L;
    return local_parts(seconds, nanoseconds, out);
}

} // namespace qp
