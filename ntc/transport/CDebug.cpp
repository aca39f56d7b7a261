#include "transport/CDebug.h"

#include <stdarg.h>

#include "quill/platform/file.h"
#include "quill/platform/sync.h"
#include "transport/COLEDateTime.h"
#include "transport/network_log.h"

FILE* CDebug::DiskFile = nullptr;

namespace ntc {

bool network_log_file_name(char* out, size_t size, int month, int day) {
    const int length = snprintf(out, size, "QUILL_NETWORK_LOG/%d월%d일.log", month, day);
    return length > 0 && static_cast<size_t>(length) < size;
}

} // namespace ntc

namespace {

// Serialises the open-write-close of every line. Never destroyed, so a thread
// that logs while the process exits still finds it.
QuillRawLock* log_lock() {
    static QuillRawLock* const lock = [] {
        QuillRawLock* created = new QuillRawLock;
        qp::lock_init(created);
        return created;
    }();
    return lock;
}

} // namespace

CDebug::~CDebug() {}

void CDebug::InitDebugMsg() {}

void CDebug::AppendDebugMsg(const char* format, ...) {
    char message[1024] = "";
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        vsnprintf(message, sizeof message, format, arguments);
        va_end(arguments);
    }

    const COLEDateTime now = COLEDateTime::GetTickCount();

    char name[256];
    if (!ntc::network_log_file_name(name, sizeof name, now.GetMonth(), now.GetDay()))
        return;

    qp::ScopedLock hold(log_lock());
    DiskFile = fopen(name, "a");
    // The folder is made by the first line, and again if someone removed it
    // while the program runs. Making it only when the open failed spares a
    // folder search on every line.
    if (!DiskFile) {
        qp::create_directory("QUILL_NETWORK_LOG");
        DiskFile = fopen(name, "a");
    }
    if (!DiskFile)
        return;
    fprintf(DiskFile, "%s\n", message);
    fclose(DiskFile);
    DiskFile = nullptr;
}
