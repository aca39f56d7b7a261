// What the shared updater code shows to the player: message boxes and the
// coloured lamp. The updater and the bootstrap put their windows behind this
// interface; without windows the console front-end serves, and tests use the
// silent one, which only remembers what it was asked to show.
#ifndef QUILL_UPDATE_COMMON_FRONT_END_C_H
#define QUILL_UPDATE_COMMON_FRONT_END_C_H

#include <stdint.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "quill/platform/clock.h"
#include "quill/platform/colour.h"

// The lamp's and the bars' colours are the windows' own.
typedef qp::Colour lamp_colour_C;

// The lamp's colours and their meaning.
extern const lamp_colour_C lamp_idle;       // waiting, between attempts
extern const lamp_colour_C lamp_connecting; // an FTP connection is being opened
extern const lamp_colour_C lamp_connected;  // connected, transfer running
extern const lamp_colour_C lamp_error;      // failures, blinking
extern const lamp_colour_C lamp_magenta;    // uncompressing
extern const lamp_colour_C lamp_orange;     // a failed run is about to be retried

class front_end_C {
public:
    virtual ~front_end_C() = default;
    // A modal message box without owner, with the system's default caption
    // and an OK button. Returns when the player closed it.
    virtual void message_box(const char* text) = 0;
    // Gives the lamp a colour and repaints it at once.
    virtual void set_lamp(const lamp_colour_C& colour) = 0;

    // The one-line status text (control 1404).
    virtual void set_status_text(const char* text) = 0;

    // Progress bars, named by their control number (1377: the current
    // download, 1376: the reference listing). A new range also puts the
    // position at 0 with step 1; a null colour is the system's default.
    virtual void set_bar_range(int control, int maximum) = 0;
    virtual void set_bar_colours(int control, const lamp_colour_C* bar,
                                 const lamp_colour_C* background) = 0;
    virtual void step_bar(int control) = 0;
};

// The lamp's animations, timed by the clock given.
// The colours in turn, pause_ms between two changes.
void lamp_sequence(front_end_C& shown, qp::Clock& clock,
                   std::initializer_list<const lamp_colour_C*> colours, uint32_t pause_ms);
// The error colour and the idle colour twice in turn, 250 ms each: one
// second that tells a failure.
void lamp_blink(front_end_C& shown, qp::Clock& clock);
// Blue with green rising from 0 to green_to by green_step, for each red
// from 0 to red_to by 10, 5 ms a colour: something unusual is being done.
void lamp_sweep(front_end_C& shown, qp::Clock& clock, int red_to, int green_to, int green_step);

// What a progress bar shows, for front-ends that draw bars themselves.
struct bar_state_C {
    int maximum = 0;
    int position = 0;
};


// Message boxes go to the standard error stream; the lamp is not shown.
// Status texts go to the standard output, one line each, and below them a
// line of text redrawn in place shows the two progress bars.
class console_front_end_C : public front_end_C {
public:
    void message_box(const char* text) override;
    void set_lamp(const lamp_colour_C& colour) override;
    void set_status_text(const char* text) override;
    void set_bar_range(int control, int maximum) override;
    void set_bar_colours(int, const lamp_colour_C*, const lamp_colour_C*) override {}
    void step_bar(int control) override;

private:
    void clear_bar_line();
    void draw_bar_line();

    bar_state_C download_bar_; // 1377
    bar_state_C listing_bar_;  // 1376
    std::string bar_line_;     // what the terminal shows now, "" when nothing
};

// Shows nothing; keeps every text and colour for a test to look at.
class silent_front_end_C : public front_end_C {
public:
    void message_box(const char* text) override { boxes.push_back(text); }
    void set_lamp(const lamp_colour_C& colour) override { lamps.push_back(colour); }
    void set_status_text(const char* text) override { status_texts.push_back(text); }
    void set_bar_range(int control, int maximum) override;
    void set_bar_colours(int, const lamp_colour_C*, const lamp_colour_C*) override {}
    void step_bar(int control) override;

    std::vector<std::string> boxes;
    std::vector<lamp_colour_C> lamps;
    std::vector<std::string> status_texts;
    bar_state_C download_bar; // 1377
    bar_state_C listing_bar;  // 1376
};

// Shows nothing and keeps nothing: for long runs such as fuzzing.
class discarding_front_end_C : public front_end_C {
public:
    void message_box(const char*) override {}
    void set_lamp(const lamp_colour_C&) override {}
    void set_status_text(const char*) override {}
    void set_bar_range(int, int) override {}
    void set_bar_colours(int, const lamp_colour_C*, const lamp_colour_C*) override {}
    void step_bar(int) override {}
};

#endif
