#include "common/guard_zone_C.h"

#include <string.h>

#include "common/logger_C.h"
#include "common/update_run_C.h"

namespace {

guard_zone_C* g_first_zone = nullptr;

} // namespace

guard_zone_C::guard_zone_C() : previous_(nullptr), next_(g_first_zone) {
    memset(bytes_, fill, sizeof bytes_);
    if (g_first_zone)
        g_first_zone->previous_ = this;
    g_first_zone = this;
}

guard_zone_C::guard_zone_C(const guard_zone_C&) : guard_zone_C() {}

guard_zone_C::~guard_zone_C() {
    if (previous_)
        previous_->next_ = next_;
    else
        g_first_zone = next_;
    if (next_)
        next_->previous_ = previous_;
}

bool guard_zone_C::intact() const {
    for (unsigned char byte : bytes_)
        if (byte != fill)
            return false;
    return true;
}

bool guard_zones_intact(update_run_C& run) {
    bool intact = true;
    for (const guard_zone_C* zone = g_first_zone; zone; zone = zone->next_)
        if (!zone->intact()) {
            run.log.log_line("INFESTED");
            intact = false;
        }
    return intact;
}
