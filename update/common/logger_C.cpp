#include "common/logger_C.h"

#include <stdarg.h>
#include <string.h>

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
    // Unbuffered: each line goes to the system in the one write that logs
    // it, straight from where it was made.
    setvbuf(stream_, nullptr, _IONBF, 0);
    opened_ = true;
    return true;
}

int logger_C::log_line(const char* text) {
    const size_t length = text ? strlen(text) : 0;
    char line[1024];
    if (length < sizeof line) {
        if (length > 0)
            memcpy(line, text, length);
        line[length] = '\n';
        return log_ended_line(line, length + 1);
    }
    // Longer lines are rare enough for a second write.
    if (!log_ended_line(text, length))
        return 0;
    return log_ended_line("\n", 1);
}

int logger_C::log_ended_line(const char* line, size_t length) {
    if (!opened_) {
        front_end().message_box(
            "logger_C::open_log_file   [MUST OPEN LOG FILE BEFORE TRYING TO LOG ANY MSG]");
        return 0;
    }
    fwrite(line, 1, length, stream_);
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
    // Room for the line feed where the text ends: the line is written from
    // where it was formatted.
    if (static_cast<size_t>(length) + 1 < sizeof small) {
        small[length] = '\n';
        return process_log().log_ended_line(small, static_cast<size_t>(length) + 1);
    }
    std::vector<char> large(static_cast<size_t>(length) + 1);
    va_start(arguments, format);
    vsnprintf(large.data(), large.size(), format, arguments);
    va_end(arguments);
    return process_log().log_line(large.data());
}
