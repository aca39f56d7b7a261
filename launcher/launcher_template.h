// The launcher's dialog template 102 as data, for systems whose windows are
// not built from the resource script; on Windows QuillLauncher.rc holds it.
#ifndef QUILL_LAUNCHER_LAUNCHER_TEMPLATE_H
#define QUILL_LAUNCHER_LAUNCHER_TEMPLATE_H

#include "quill/platform/ui_launcher.h"

extern const qp::launcher_template g_launcher_template;

#endif
