// The launcher's log "report_launcher.txt" in the working directory: what
// the launcher started or opened, and why the web page could not be shown.
// Begun afresh by each run; every line is flushed at once.
#ifndef QUILL_LAUNCHER_LAUNCHER_LOG_H
#define QUILL_LAUNCHER_LAUNCHER_LOG_H

extern const char* const g_launcher_log_name;

// Writes one line to the log, opening it on first use; also to the standard
// error stream. A log that cannot be opened costs only the file lines.
void launcher_log(const char* text);

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void launcher_log_format(const char* format, ...);

// Closes the log; the next line begins a new one.
void launcher_log_close();

#endif
