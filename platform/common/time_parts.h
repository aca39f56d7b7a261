// A moment the C library broke into its parts, as a SYSTEMTIME (internal to
// the platform layer).
#ifndef QUILL_PLATFORM_COMMON_TIME_PARTS_H
#define QUILL_PLATFORM_COMMON_TIME_PARTS_H

#include <time.h>

#include "quill/platform/types.h"

namespace qp {

inline void system_time_from_parts(const struct tm& parts, unsigned milliseconds, SYSTEMTIME* out) {
    out->wYear = static_cast<WORD>(parts.tm_year + 1900);
    out->wMonth = static_cast<WORD>(parts.tm_mon + 1);
    out->wDayOfWeek = static_cast<WORD>(parts.tm_wday);
    out->wDay = static_cast<WORD>(parts.tm_mday);
    out->wHour = static_cast<WORD>(parts.tm_hour);
    out->wMinute = static_cast<WORD>(parts.tm_min);
    out->wSecond = static_cast<WORD>(parts.tm_sec);
    out->wMilliseconds = static_cast<WORD>(milliseconds);
}

} // namespace qp

#endif
