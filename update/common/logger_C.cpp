#include "common/logger_C.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include "common/front_end_C.h"

bool logger_C::open_log_file(const std::string& directory, const std::string& name) {
    if (log_.is_open()) {
        shown_.message_box("logger_C::open_log_file   [LOG FILE ALREADY OPENED, ILLEGAL CALL]");
        return false;
    }
    const std::string path = directory + "\\" + name;
    if (!log_.open(path.c_str(), qp::LineLog::Start::afresh)) {
        const std::string text = "logger_C::open_log_file   [CAN'T OPEN LOG FILE : " + path + "]";
        shown_.message_box(text.c_str());
        return false;
    }
    return true;
}

int logger_C::not_open() {
    shown_.message_box(
        "logger_C::open_log_file   [MUST OPEN LOG FILE BEFORE TRYING TO LOG ANY MSG]");
    return 0;
}

int logger_C::log_line(const char* text) {
    if (!log_.is_open())
        return not_open();
    log_.write_line(text ? text : "", text ? strlen(text) : 0);
    return 1;
}

int logger_C::log_ended_line(const char* line, size_t length) {
    if (!log_.is_open())
        return not_open();
    log_.write_ended_line(line, length);
    return 1;
}

void logger_C::close_log_file() {
    log_.close();
}

int logger_C::log_format(const char* format, ...) {
    char small[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = vsnprintf(small, sizeof small, format, arguments);
    va_end(arguments);
    if (length < 0)
        return log_line(format);
    // Room for the line feed where the text ends: the line is written from
    // where it was formatted.
    if (static_cast<size_t>(length) + 1 < sizeof small) {
        small[length] = '\n';
        return log_ended_line(small, static_cast<size_t>(length) + 1);
    }
    va_start(arguments, format);
    const std::string large = qp::format_text_v(format, arguments);
    va_end(arguments);
    return log_line(large.c_str());
}
