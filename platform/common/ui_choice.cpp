#include "quill/platform/ui_choice.h"

#include <stdlib.h>
#include <string.h>

namespace qp {

bool console_ui_requested() {
    const char* ui = getenv("QUILL_UI");
    return ui && strcmp(ui, "console") == 0;
}

} // namespace qp
