// Text logs of one line per event, and the printf formatting they share.
// Every log of the package is one of these: the updater's "report.txt",
// the launcher's "report_launcher.txt" and the network library's day files.
// A line goes to the system in one write with its line feed, so a crash
// keeps every line before it and lines from several threads never mix.
#ifndef QUILL_PLATFORM_LINE_LOG_H
#define QUILL_PLATFORM_LINE_LOG_H

#include <stdarg.h>
#include <stddef.h>
#include <stdio.h>

#include <string>

#if defined(__GNUC__)
#define QUILL_PRINTF_FORMAT(format_index, first_arg)                                               \
    __attribute__((format(printf, format_index, first_arg)))
#else
#define QUILL_PRINTF_FORMAT(format_index, first_arg)
#endif

namespace qp {

// printf into a string of whatever length the values need; "" when the
// format cannot be used.
std::string format_text_v(const char* format, va_list arguments);
std::string format_text(const char* format, ...) QUILL_PRINTF_FORMAT(1, 2);

// A console line: the prefix, the formatted text and a line feed, in one
// write, flushed at once.
void print_line_v(FILE* stream, const char* prefix, const char* format, va_list arguments);

class LineLog {
public:
    enum class Start { afresh, after_what_is_there };

    LineLog() = default;
    ~LineLog() { close(); }
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    // Opens the file as text (the system's line ends), replacing it or
    // adding to it. False when it cannot be opened.
    bool open(const char* name, Start start);
    bool is_open() const { return stream_ != nullptr; }
    void close();

    // The text and a line feed, in one write (a text of a kilobyte or more
    // takes two). False when the log is not open.
    bool write_line(const char* text, size_t length);
    bool write_line(const std::string& text) { return write_line(text.data(), text.size()); }
    // A line that already ends with its line feed (length counts it),
    // written as it lies, without a copy.
    bool write_ended_line(const char* line, size_t length);

private:
    FILE* stream_ = nullptr;
};

} // namespace qp

#endif
