#include "launcher_log.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "quill/platform/line_log.h"

const char* const g_launcher_log_name = "report_launcher.txt";

namespace {

qp::LineLog g_log;
bool g_open_failed = false;

} // namespace

void launcher_log(const char* text) {
    if (!text)
        text = "";
    fprintf(stderr, "QuillLauncher: %s\n", text);
    if (!g_log.is_open() && !g_open_failed)
        g_open_failed = !g_log.open(g_launcher_log_name, qp::LineLog::Start::afresh);
    g_log.write_line(text, strlen(text));
}

void launcher_log_format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const std::string line = qp::format_text_v(format, arguments);
    va_end(arguments);
    launcher_log(line.c_str());
}

void launcher_log_close() {
    g_log.close();
    g_open_failed = false;
}
