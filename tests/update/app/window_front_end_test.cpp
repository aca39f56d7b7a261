// The updater's front end over its window: what the shared code asks for
// reaches the window's controls, here a window that writes down its calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/window_front_end_C.h"

namespace {

std::string colour_text(const qp::Colour* colour) {
    if (!colour)
        return "default";
    return std::to_string(colour->red) + "," + std::to_string(colour->green) + "," +
           std::to_string(colour->blue);
}

class recording_window : public qp::updater_window {
public:
    qp::UpdaterWindowEnd run(qp::UpdaterWorker, void*) override {
        return qp::UpdaterWindowEnd::no_window;
    }
    void set_status(const char* text) override { calls.push_back(std::string("status ") + text); }
    void set_bar_range(int control, int maximum) override {
        calls.push_back("range " + std::to_string(control) + " " + std::to_string(maximum));
    }
    void set_bar_colours(int control, const qp::Colour* bar,
                         const qp::Colour* background) override {
        calls.push_back("colours " + std::to_string(control) + " " + colour_text(bar) + " " +
                        colour_text(background));
    }
    void step_bar(int control) override { calls.push_back("step " + std::to_string(control)); }
    void repaint() override { calls.push_back("repaint"); }
    void close() override { calls.push_back("close"); }
    void message_box(const char* text) override { calls.push_back(std::string("box ") + text); }

    std::vector<std::string> calls;
};

TEST(WindowFrontEnd, TheLampIsItsBarInOneColourAndEveryCallReachesItsControl) {
    recording_window window;
    window_front_end_C front_end(window);
    const qp::Colour red = {255, 0, 0};

    front_end.set_lamp(lamp_connected);
    front_end.set_status_text("Server List Loaded");
    front_end.set_bar_range(qp::kUpdaterListingBar, 500);
    front_end.step_bar(qp::kUpdaterListingBar);
    front_end.set_bar_colours(qp::kUpdaterDownloadBar, &red, nullptr);
    front_end.message_box("Server List Could Not Be Loaded !!");

    const std::string lamp = colour_text(&lamp_connected);
    EXPECT_EQ((std::vector<std::string>{"colours 1380 " + lamp + " " + lamp, "repaint",
                                        "status Server List Loaded", "range 1376 500", "step 1376",
                                        "colours 1377 255,0,0 default",
                                        "box Server List Could Not Be Loaded !!"}),
              window.calls);
}

} // namespace
