#include "launcher_log.h"

#include <stdarg.h>
#include <stdio.h>

#include <vector>

#include "quill/platform/file.h"

const char* const g_launcher_log_name = "report_launcher.txt";

namespace {

FILE* g_stream = nullptr;
bool g_open_failed = false;

} // namespace

void launcher_log(const char* text) {
    if (!text)
        text = "";
    fprintf(stderr, "QuillLauncher: %s\n", text);
    if (!g_stream && !g_open_failed) {
        g_stream = qp::open_stream(g_launcher_log_name, "w");
        g_open_failed = g_stream == nullptr;
    }
    if (!g_stream)
        return;
    fputs(text, g_stream);
    fputc('\n', g_stream);
    fflush(g_stream);
}

void launcher_log_format(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    va_list again;
    va_copy(again, arguments);
    const int length = vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length < 0) {
        va_end(again);
        launcher_log(format);
        return;
    }
    std::vector<char> line(static_cast<size_t>(length) + 1);
    vsnprintf(line.data(), line.size(), format, again);
    va_end(again);
    launcher_log(line.data());
}

void launcher_log_close() {
    if (g_stream)
        fclose(g_stream);
    g_stream = nullptr;
    g_open_failed = false;
}
