// Whether a program shows its window or its text form: the one place that
// reads the choice (QUILL_UI=console asks for the text form, also where a
// display is there). Without a display each program falls back to text by
// itself.
#ifndef QUILL_PLATFORM_UI_CHOICE_H
#define QUILL_PLATFORM_UI_CHOICE_H

namespace qp {

bool console_ui_requested();

} // namespace qp

#endif
