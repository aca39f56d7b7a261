// The game client's log files left by a crash: sent to the crash-log FTP
// account under names no other upload uses, then deleted.
#ifndef QUILL_UPDATE_NET_CRASH_LOG_H
#define QUILL_UPDATE_NET_CRASH_LOG_H

#include <string>

class update_run_C;

// The crash-log server: the environment variable QUILL_CRASHLOG_HOST when
// set and not empty ("host" or "host:port"), else the host the program was
// built with.
std::string crash_log_host();

// The suffix shared by the upload names of one run:
// "_%d_%d_%d_%d_%d_%d", six draws of rand() modulo 16000000, last drawn first.
std::string crash_log_unique_suffix();

// True when the client left "log_client.txt" or "NETWork.log" in the root
// folder ("gl_Info.txt" alone is no sign of a crash).
bool is_client_crash_log_file_present(update_run_C& run);

// Uploads each client log present and deletes it, uploaded or not, so that
// no log is sent twice. True when nothing was to be sent or every upload
// worked.
bool process_crash_log_file(update_run_C& run);

#endif
