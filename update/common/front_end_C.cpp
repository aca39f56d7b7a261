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

front_end_C& front_end() {
    return g_front_end ? *g_front_end : console();
}

front_end_C* set_front_end(front_end_C* replacement) {
    front_end_C* previous = g_front_end ? g_front_end : &console();
    g_front_end = replacement;
    return previous;
}
