// The system clock on Windows.
#include "quill/platform/clock.h"

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

} // namespace qp
