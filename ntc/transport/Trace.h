// TRACE: a diagnostic sink. It takes a format and arguments and drops them;
// nothing handed to it is ever formatted or written.
#ifndef QUILLNTC_TRACE_H
#define QUILLNTC_TRACE_H

#include "NTCExport.h"

QUILLNTC_API void TRACE(const char* format, ...);

#endif
