// CDebug: the network log, one text file per calendar day in the folder
// "QUILL_NETWORK_LOG" under the current directory.
#ifndef QUILLNTC_CDEBUG_H
#define QUILLNTC_CDEBUG_H

#include <stdio.h>

#include "NTCExport.h"

class QUILLNTC_API CDebug {
public:
    virtual ~CDebug();

    static void InitDebugMsg();
    // Appends the formatted text (at most 1023 bytes) and a newline to the
    // day's log file. Safe to call from several threads at once: each line
    // is written whole. A line that cannot be written is dropped.
    static void AppendDebugMsg(const char* format, ...) QUILLNTC_PRINTF(1, 2);

private:
    // Not used: each line opens, writes and closes the day file itself.
    static FILE* DiskFile;
};

#endif
