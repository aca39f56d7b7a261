// A test aid for tests that run a whole program of the package: they cannot
// hand it a test clock, so they ask for one through the environment.
#ifndef QUILL_PLATFORM_INSTANT_CLOCK_H
#define QUILL_PLATFORM_INSTANT_CLOCK_H

namespace qp {

// When the environment variable QUILL_TEST_INSTANT_SLEEP is "1", puts in
// force for the whole process a clock whose sleeps return at once while its
// tick count moves on as if they had slept; dates stay the system's.
// Returns whether it did. Players never set it: with it, retries and blinks
// that wait for the world to change would not wait.
bool use_instant_clock_if_requested();

} // namespace qp

#endif
