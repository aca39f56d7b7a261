#include "quill/platform/line_log.h"

#include <string.h>

#include "quill/platform/file.h"

namespace qp {

std::string format_text_v(const char* format, va_list arguments) {
    if (!format)
        return std::string();
    char small[512];
    va_list again;
    va_copy(again, arguments);
    const int length = vsnprintf(small, sizeof small, format, arguments);
    if (length < 0) {
        va_end(again);
        return std::string();
    }
    if (static_cast<size_t>(length) < sizeof small) {
        va_end(again);
        return std::string(small, static_cast<size_t>(length));
    }
    std::string text(static_cast<size_t>(length), '\0');
    vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

std::string format_text(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::string text = format_text_v(format, arguments);
    va_end(arguments);
    return text;
}

void print_line_v(FILE* stream, const char* prefix, const char* format, va_list arguments) {
    std::string line = prefix;
    line += format_text_v(format, arguments);
    line += '\n';
    fwrite(line.data(), 1, line.size(), stream);
    fflush(stream);
}

bool LineLog::open(const char* name, Start start) {
    close();
    stream_ = open_stream(name, start == Start::afresh ? "w" : "a");
    if (!stream_)
        return false;
    // Unbuffered: each line goes to the system in the one write that logs
    // it, straight from where it was made.
    setvbuf(stream_, nullptr, _IONBF, 0);
    return true;
}

void LineLog::close() {
    if (stream_)
        fclose(stream_);
    stream_ = nullptr;
}

bool LineLog::write_line(const char* text, size_t length) {
    char line[1024];
    if (length < sizeof line) {
        if (length > 0)
            memcpy(line, text, length);
        line[length] = '\n';
        return write_ended_line(line, length + 1);
    }
    // Longer lines are rare enough for a second write.
    return write_ended_line(text, length) && write_ended_line("\n", 1);
}

bool LineLog::write_ended_line(const char* line, size_t length) {
    if (!stream_)
        return false;
    return fwrite(line, 1, length, stream_) == length;
}

} // namespace qp
