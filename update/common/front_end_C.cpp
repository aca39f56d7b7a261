#include "common/front_end_C.h"

#include <stdio.h>

const lamp_colour_C lamp_idle = {200, 200, 200};
const lamp_colour_C lamp_connecting = {255, 255, 0};
const lamp_colour_C lamp_connected = {0, 255, 0};
const lamp_colour_C lamp_error = {255, 32, 32};
const lamp_colour_C lamp_magenta = {255, 0, 255};
const lamp_colour_C lamp_orange = {255, 140, 0};

namespace {

front_end_C* g_front_end = nullptr;

console_front_end_C& console() {
    static console_front_end_C instance;
    return instance;
}

} // namespace

void console_front_end_C::message_box(const char* text) {
    fprintf(stderr, "[%s]\n", text);
    fflush(stderr);
}

void console_front_end_C::set_lamp(const lamp_colour_C&) {}

void console_front_end_C::set_status_text(const char* text) {
    if (text[0] != '\0') {
        printf("%s\n", text);
        fflush(stdout);
    }
}

void console_front_end_C::set_bar_range(int, int) {}

void console_front_end_C::step_bar(int) {}

namespace {

bar_state_C* bar_of(silent_front_end_C& front, int control) {
    if (control == 1377)
        return &front.download_bar;
    if (control == 1376)
        return &front.listing_bar;
    return nullptr;
}

} // namespace

void silent_front_end_C::set_bar_range(int control, int maximum) {
    if (bar_state_C* bar = bar_of(*this, control)) {
        bar->maximum = maximum;
        bar->position = 0;
    }
}

void silent_front_end_C::step_bar(int control) {
    // A progress bar stops at the end of its range.
    if (bar_state_C* bar = bar_of(*this, control)) {
        if (bar->position < bar->maximum)
            bar->position += 1;
    }
}

front_end_C& front_end() {
    return g_front_end ? *g_front_end : console();
}

front_end_C* set_front_end(front_end_C* replacement) {
    front_end_C* previous = g_front_end ? g_front_end : &console();
    g_front_end = replacement;
    return previous;
}
