#include "common/logger_C.h"

#include <stdarg.h>

#include <vector>

#include "common/front_end_C.h"
#include "quill/platform/file.h"

bool logger_C::open_log_file(const std::string& directory, const std::string& name) {
    if (opened_) {
        front_end().message_box(
            "logger_C::open_log_file   [LOG FILE ALREADY OPENED, ILLEGAL CALL]");
        return false;
    }
    const std::string path = directory + "\\" + name;
    stream_ = qp::open_stream(path.c_str(), "w");
    if (!stream_) {
        const std::string text = "logger_C::open_log_file   [CAN'T OPEN LOG FILE : " + path + "]";
        front_end().message_box(text.c_str());
        return false;
    }
    opened_ = true;
    return true;
}

int logger_C::log_line(const char* text) {
    if (!opened_) {
        front_end().message_box(
            "logger_C::open_log_file   [MUST OPEN LOG FILE BEFORE TRYING TO LOG ANY MSG]");
        return 0;
    }
    fputs(text ? text : "", stream_);
    fputc('\n', stream_);
    fflush(stream_);
    return 1;
}

void logger_C::close_log_file() {
    if (!opened_)
        return;
    fclose(stream_);
    stream_ = nullptr;
    opened_ = false;
}

logger_C& process_log() {
    static logger_C instance;
    return instance;
}

int log_format(const char* format, ...) {
    char small[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    if (length < 0)
        return process_log().log_line(format);
    if (static_cast<size_t>(length) < sizeof small)
        return process_log().log_line(small);
    std::vector<char> large(static_cast<size_t>(length) + 1);
    va_start(arguments, format);
    vsnprintf(large.data(), large.size(), format, arguments);
    va_end(arguments);
    return process_log().log_line(large.data());
}
