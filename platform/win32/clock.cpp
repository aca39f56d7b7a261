// The system clock on Windows.
#include "quill/platform/clock.h"

#include <time.h>

#include "../common/time_parts.h"

namespace qp {
namespace {

class WindowsClock final : public Clock {
public:
    uint32_t tick_count() override { return GetTickCount(); }
    void local_time(SYSTEMTIME* out) override { GetLocalTime(out); }
    void system_time(SYSTEMTIME* out) override { GetSystemTime(out); }
    void sleep(uint32_t ms) override { Sleep(ms); }
};

} // namespace

Clock& system_clock() {
    static WindowsClock instance;
    return instance;
}

bool local_time_from_epoch(int64_t seconds, SYSTEMTIME* out) {
    __time64_t when = static_cast<__time64_t>(seconds);
    struct tm parts;
    // The run-time library refuses moments before 1970 and after 3000.
    if (_localtime64_s(&parts, &when) != 0)
        return false;
    system_time_from_parts(parts, 0, out);
    return true;
}

bool local_time_from_file_time(const FILETIME& utc, SYSTEMTIME* out) {
    SYSTEMTIME universal;
    if (!FileTimeToSystemTime(&utc, &universal))
        return false;
    // Unlike FileTimeToLocalFileTime, this applies the daylight-saving rule
    // of the moment itself rather than the one in force today.
    SYSTEMTIME local;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return false;
    *out = local;
    return true;
}

} // namespace qp
