#include "app/window_front_end_C.h"

void window_front_end_C::message_box(const char* text) {
    window_.message_box(text);
}

// The lamp is a bar drawn in one colour: fill and background alike.
void window_front_end_C::set_lamp(const lamp_colour_C& colour) {
    window_.set_bar_colours(qp::kUpdaterLamp, &colour, &colour);
    window_.repaint();
}

void window_front_end_C::set_status_text(const char* text) {
    window_.set_status(text);
}

void window_front_end_C::set_bar_range(int control, int maximum) {
    window_.set_bar_range(control, maximum);
}

void window_front_end_C::set_bar_colours(int control, const lamp_colour_C* bar,
                                         const lamp_colour_C* background) {
    window_.set_bar_colours(control, bar, background);
}

void window_front_end_C::step_bar(int control) {
    window_.step_bar(control);
}
