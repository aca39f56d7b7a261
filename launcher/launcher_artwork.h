// The launcher's pictures compiled into the program, for systems without a
// resource section. The build generates the table from launcher/res/.
#ifndef QUILL_LAUNCHER_LAUNCHER_ARTWORK_H
#define QUILL_LAUNCHER_LAUNCHER_ARTWORK_H

#include <stddef.h>

#include "quill/platform/ui_launcher.h"

extern const qp::launcher_resource g_launcher_artwork[];
extern const size_t g_launcher_artwork_count;

#endif
