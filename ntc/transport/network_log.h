// The name of the network log file of a day.
#ifndef QUILLNTC_NETWORK_LOG_H
#define QUILLNTC_NETWORK_LOG_H

#include <stddef.h>

namespace ntc {

// Writes "QUILL_NETWORK_LOG/<month>월<day>일.log" into out (the Korean words
// in the system's narrow code page). Returns false when it does not fit.
bool network_log_file_name(char* out, size_t size, int month, int day);

} // namespace ntc

#endif
