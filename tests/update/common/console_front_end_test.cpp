// The terminal front-end: status lines, and the two bars as one line of
// text redrawn in place under them.
#include <gtest/gtest.h>

#include <string>

#include "common/front_end_C.h"

namespace {

std::string shown(void (*steps)(console_front_end_C&)) {
    console_front_end_C console;
    testing::internal::CaptureStdout();
    steps(console);
    return testing::internal::GetCapturedStdout();
}

TEST(ConsoleFrontEnd, DrawsTheBarsInPlaceAndRedrawsOnlyOnChange) {
    const std::string out = shown([](console_front_end_C& console) {
        console.set_bar_range(1376, 4);
        console.step_bar(1376);
        console.set_bar_range(1377, 2);
        console.step_bar(1377);
        console.step_bar(1377);
        console.step_bar(1377); // already full: nothing to redraw
        console.step_bar(9999); // no such bar
    });
    EXPECT_EQ("\rfiles [....................] 0/4"
              "\rfiles [#####...............] 1/4"
              "\rfiles [#####...............] 1/4  download [....................] 0/2"
              "\rfiles [#####...............] 1/4  download [##########..........] 1/2"
              "\rfiles [#####...............] 1/4  download [####################] 2/2",
              out);
}

TEST(ConsoleFrontEnd, StatusLinesGoAboveTheBarLine) {
    const std::string out = shown([](console_front_end_C& console) {
        console.set_status_text("before any bar");
        console.set_bar_range(1376, 2);
        console.set_status_text("Auto update Started");
        console.set_status_text(""); // an empty status shows nothing
    });
    const std::string bar = "files [....................] 0/2";
    EXPECT_EQ("before any bar\n\r" + bar + "\r" + std::string(bar.size(), ' ') +
                  "\rAuto update Started\n\r" + bar,
              out);
}

TEST(ConsoleFrontEnd, SilentFrontEndKeepsBarsWithinTheirRange) {
    silent_front_end_C silent;
    silent.set_bar_range(1377, 1);
    silent.step_bar(1377);
    silent.step_bar(1377);
    silent.set_bar_range(1376, 3);
    silent.step_bar(1376);
    EXPECT_EQ(1, silent.download_bar.position);
    EXPECT_EQ(1, silent.listing_bar.position);
    EXPECT_EQ(3, silent.listing_bar.maximum);
}

} // namespace
