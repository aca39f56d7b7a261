#include "quill/platform/instant_clock.h"

#include <stdlib.h>
#include <string.h>

#include <atomic>

#include "quill/platform/clock.h"

namespace qp {

namespace {

class InstantClock : public Clock {
public:
    uint32_t tick_count() override { return system_clock().tick_count() + slept_.load(); }
    void local_time(SYSTEMTIME* out) override { system_clock().local_time(out); }
    void system_time(SYSTEMTIME* out) override { system_clock().system_time(out); }
    void sleep(uint32_t ms) override { slept_ += ms; }

private:
    std::atomic<uint32_t> slept_{0};
};

} // namespace

bool use_instant_clock_if_requested() {
    const char* value = getenv("QUILL_TEST_INSTANT_SLEEP");
    if (!value || strcmp(value, "1") != 0)
        return false;
    static InstantClock instance;
    set_clock(&instance);
    return true;
}

} // namespace qp
