#include "transport/CDebug.h"

#include <stdarg.h>

#include "quill/platform/file.h"
#include "quill/platform/line_log.h"
#include "quill/platform/sync.h"
#include "transport/COLEDateTime.h"
#include "transport/network_log.h"

FILE* CDebug::DiskFile = nullptr;

namespace {

// A line of the network log holds at most this much of its text.
const size_t kMostMessageBytes = 1023;

} // namespace

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
    std::string message;
    if (format) {
        va_list arguments;
        va_start(arguments, format);
        message = qp::format_text_v(format, arguments);
        va_end(arguments);
        if (message.size() > kMostMessageBytes)
            message.resize(kMostMessageBytes);
    }

    const COLEDateTime now = COLEDateTime::GetTickCount();

    char name[256];
    if (!ntc::network_log_file_name(name, sizeof name, now.GetMonth(), now.GetDay()))
        return;

    qp::ScopedLock hold(log_lock());
    qp::LineLog day_file;
    // The folder is made by the first line, and again if someone removed it
    // while the program runs. Making it only when the open failed spares a
    // folder search on every line.
    if (!day_file.open(name, qp::LineLog::Start::after_what_is_there)) {
        qp::create_directory("QUILL_NETWORK_LOG");
        if (!day_file.open(name, qp::LineLog::Start::after_what_is_there))
            return;
    }
    day_file.write_line(message);
}
