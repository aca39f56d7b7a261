#include "common/front_end_C.h"

#include <stdio.h>

#include <string>

#include "quill/platform/clock.h"

const lamp_colour_C lamp_idle = {200, 200, 200};
const lamp_colour_C lamp_connecting = {255, 255, 0};
const lamp_colour_C lamp_connected = {0, 255, 0};
const lamp_colour_C lamp_error = {255, 32, 32};
const lamp_colour_C lamp_magenta = {255, 0, 255};
const lamp_colour_C lamp_orange = {255, 140, 0};

void lamp_sequence(front_end_C& shown, qp::Clock& clock,
                   std::initializer_list<const lamp_colour_C*> colours, uint32_t pause_ms) {
    bool first = true;
    for (const lamp_colour_C* colour : colours) {
        if (!first)
            clock.sleep(pause_ms);
        first = false;
        shown.set_lamp(*colour);
    }
}

void lamp_blink(front_end_C& shown, qp::Clock& clock) {
    for (int i = 0; i < 2; ++i) {
        shown.set_lamp(lamp_error);
        clock.sleep(250);
        shown.set_lamp(lamp_idle);
        clock.sleep(250);
    }
}

void lamp_sweep(front_end_C& shown, qp::Clock& clock, int red_to, int green_to, int green_step) {
    for (int red = 0; red <= red_to; red += 10) {
        for (int green = 0; green <= green_to; green += green_step) {
            shown.set_lamp(lamp_colour_C{static_cast<unsigned char>(red),
                                         static_cast<unsigned char>(green), 255});
            clock.sleep(5);
        }
    }
}

namespace {

bar_state_C* bar_of(int control, bar_state_C& download, bar_state_C& listing) {
    if (control == 1377)
        return &download;
    if (control == 1376)
        return &listing;
    return nullptr;
}

void set_range(bar_state_C* bar, int maximum) {
    if (bar) {
        bar->maximum = maximum;
        bar->position = 0;
    }
}

// A progress bar stops at the end of its range. True when it moved.
bool step(bar_state_C* bar) {
    if (!bar || bar->position >= bar->maximum)
        return false;
    bar->position += 1;
    return true;
}

// "files [#####...............]  25%"; empty for a bar without a range.
// Only whole percents show, so a long download redraws the line at most a
// hundred times.
std::string bar_text(const char* label, const bar_state_C& bar) {
    if (bar.maximum <= 0)
        return std::string();
    const int cells = 20;
    const long long position = bar.position, maximum = bar.maximum;
    const int full = static_cast<int>(position * cells / maximum);
    char percent[16];
    snprintf(percent, sizeof percent, "] %3d%%", static_cast<int>(position * 100 / maximum));
    return std::string(label) + " [" + std::string(full, '#') +
           std::string(cells - full, '.') + percent;
}

} // namespace

void console_front_end_C::message_box(const char* text) {
    clear_bar_line();
    fprintf(stderr, "[%s]\n", text);
    fflush(stderr);
    draw_bar_line();
}

void console_front_end_C::set_lamp(const lamp_colour_C&) {}

void console_front_end_C::set_status_text(const char* text) {
    if (text[0] != '\0') {
        clear_bar_line();
        printf("%s\n", text);
        fflush(stdout);
        draw_bar_line();
    }
}

void console_front_end_C::set_bar_range(int control, int maximum) {
    set_range(bar_of(control, download_bar_, listing_bar_), maximum);
    draw_bar_line();
}

void console_front_end_C::step_bar(int control) {
    // The line shows whole percents: a step that changes none of them
    // leaves it as it is, without making its text anew.
    bar_state_C* bar = bar_of(control, download_bar_, listing_bar_);
    if (!bar || bar->maximum <= 0)
        return;
    const long long shown = static_cast<long long>(bar->position) * 100 / bar->maximum;
    if (step(bar) && static_cast<long long>(bar->position) * 100 / bar->maximum != shown)
        draw_bar_line();
}

// The bar line ends without a line feed, so that a carriage return brings
// the cursor back to redraw it; a status line first blanks it out.
void console_front_end_C::clear_bar_line() {
    if (bar_line_.empty())
        return;
    printf("\r%s\r", std::string(bar_line_.size(), ' ').c_str());
    bar_line_.clear();
}

void console_front_end_C::draw_bar_line() {
    std::string line = bar_text("files", listing_bar_);
    const std::string download = bar_text("download", download_bar_);
    if (!download.empty())
        line += (line.empty() ? "" : "  ") + download;
    // Redrawing only on change keeps a download of many small steps from
    // flooding the terminal.
    if (line == bar_line_)
        return;
    const size_t old_size = bar_line_.size();
    if (line.size() < old_size)
        line.append(old_size - line.size(), ' ');
    printf("\r%s", line.c_str());
    fflush(stdout);
    bar_line_ = line;
}

void silent_front_end_C::set_bar_range(int control, int maximum) {
    set_range(bar_of(control, download_bar, listing_bar), maximum);
}

void silent_front_end_C::step_bar(int control) {
    step(bar_of(control, download_bar, listing_bar));
}
