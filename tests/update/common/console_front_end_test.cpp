// The terminal front-end: status lines, and the two bars as one line of
// text redrawn in place under them.
#include <gtest/gtest.h>

#include <stdio.h>

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
        console.set_bar_range(1377, 1000);
        console.step_bar(1377); // less than a percent: nothing to redraw
        for (int i = 1; i < 1000; ++i)
            console.step_bar(1377);
        console.step_bar(1377); // already full
        console.step_bar(9999); // no such bar
    });
    const std::string files = "files [#####...............]  25%  download [";
    std::string expected = "\rfiles [....................]   0%\rfiles [#####...............]  25%";
    for (int percent = 0; percent <= 100; ++percent) {
        char tail[64];
        snprintf(tail, sizeof tail, "] %3d%%", percent);
        expected += "\r" + files + std::string(percent / 5, '#') +
                    std::string(20 - percent / 5, '.') + tail;
    }
    EXPECT_EQ(expected, out);
}

TEST(ConsoleFrontEnd, StatusLinesGoAboveTheBarLine) {
    const std::string out = shown([](console_front_end_C& console) {
        console.set_status_text("before any bar");
        console.set_bar_range(1376, 2);
        console.set_status_text("Auto update Started");
        console.set_status_text(""); // an empty status shows nothing
    });
    const std::string bar = "files [....................]   0%";
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
