// The trace log ("report.txt" of the updater): one line per step, handed to
// the system at once, in one write, so that a crash keeps every line before
// it.
#ifndef QUILL_UPDATE_COMMON_LOGGER_C_H
#define QUILL_UPDATE_COMMON_LOGGER_C_H

#include <stddef.h>

#include <string>

#include "quill/platform/line_log.h"

class front_end_C;

class logger_C {
public:
    // Failures to open or write the log are shown as message boxes there.
    explicit logger_C(front_end_C& shown) : shown_(shown) {}
    ~logger_C() { close_log_file(); }
    logger_C(const logger_C&) = delete;
    logger_C& operator=(const logger_C&) = delete;

    // Opens directory\name for writing, replacing an older log. False, with a
    // message box, when the log is already open or cannot be opened.
    bool open_log_file(const std::string& directory, const std::string& name);
    // Writes the text and a line feed, unchanged, and flushes. 1 when
    // written; 0, with a message box, when the log is not open.
    int log_line(const char* text);
    // The same for a line that already ends with its line feed (length
    // counts it): written as it lies, without a copy.
    int log_ended_line(const char* line, size_t length);
    // Formats a line as printf does and writes it. Values of any length
    // fit: the line grows with them.
    int log_format(const char* format, ...) QUILL_PRINTF_FORMAT(2, 3);
    // Closes the log if open; the next open may then begin a new one.
    void close_log_file();

    bool is_open() const { return log_.is_open(); }

private:
    int not_open();

    front_end_C& shown_;
    qp::LineLog log_;
};

#endif
