#include "common/preferences.h"

#include <stdio.h>

#include "common/logger_C.h"
#include "common/settings.h"
#include "common/update_run_C.h"
#include "quill/platform/file.h"

bool save_preferences(update_run_C& run) {
    FILE* file = qp::open_stream(g_preferences_file_name.c_str(), "w");
    if (!file) {
        run.log.log_line("save_preferences  [FAILED TO OPEN PREFERENCE FILE]");
        return false;
    }
    fputs(run.root_path.c_str(), file);
    fputc('\n', file);
    fprintf(file, "%d", run.preferences_value);
    // A reader knows the file is whole when it ends with this marker.
    fputs("__%%201274%%__", file);
    const bool written = !ferror(file);
    if (fclose(file) != 0 || !written) {
        run.log.log_line("save_preferences  [FAILED TO WRITE PREFERENCE FILE]");
        return false;
    }
    return true;
}
