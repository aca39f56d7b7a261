// The updater's window as the front-end of the shared code: the worker's
// texts, bars and lamp colours go to the window, message boxes over it.
#ifndef QUILL_UPDATE_APP_WINDOW_FRONT_END_C_H
#define QUILL_UPDATE_APP_WINDOW_FRONT_END_C_H

#include "common/front_end_C.h"
#include "quill/platform/ui_updater.h"

class window_front_end_C : public front_end_C {
public:
    explicit window_front_end_C(qp::updater_window& window) : window_(window) {}

    void message_box(const char* text) override;
    void set_lamp(const lamp_colour_C& colour) override;
    void set_status_text(const char* text) override;
    void set_bar_range(int control, int maximum) override;
    void set_bar_colours(int control, const lamp_colour_C* bar,
                         const lamp_colour_C* background) override;
    void step_bar(int control) override;

private:
    qp::updater_window& window_;
};

#endif
