// The clock in force, shared by both systems.
#include "quill/platform/clock.h"

#include <atomic>

namespace qp {
namespace {

std::atomic<Clock*> g_current{nullptr};

} // namespace

Clock& clock() {
    Clock* current = g_current.load(std::memory_order_acquire);
    return current ? *current : system_clock();
}

Clock* set_clock(Clock* replacement) {
    Clock* previous = g_current.exchange(replacement, std::memory_order_acq_rel);
    return previous ? previous : &system_clock();
}

} // namespace qp
