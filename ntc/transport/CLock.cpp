#include "transport/CLock.h"

#include <stdarg.h>
#include <stdio.h>

#include <string>

#include "quill/platform/line_log.h"
#include "quill/platform/sync.h"
#include "transport/CDebug.h"

namespace {

// Writes the word and the formatted text as two lines of the network log.
void log_pair(const char* word, const char* format, va_list arguments) {
    std::string text = qp::format_text_v(format, arguments);
    if (text.size() > 511)
        text.resize(511);
    CDebug::AppendDebugMsg("%s", word);
    CDebug::AppendDebugMsg("%s", text.c_str());
}

} // namespace

CLock::CLock() {
    qp::lock_init(&m_CriticalSection);
}

CLock::~CLock() {
    qp::lock_destroy(&m_CriticalSection);
}

CLock::CLock(const CLock&) : CLock() {}

CLock& CLock::operator=(const CLock&) {
    return *this;
}

void CLock::Enter() {
    qp::lock_enter(&m_CriticalSection);
}

void CLock::Leave() {
    qp::lock_leave(&m_CriticalSection);
}

void CLock::Enter(const char* format, ...) {
    qp::lock_enter(&m_CriticalSection);
    va_list arguments;
    va_start(arguments, format);
    log_pair("Enter ", format, arguments);
    va_end(arguments);
}

void CLock::Leave(const char* format, ...) {
    qp::lock_leave(&m_CriticalSection);
    va_list arguments;
    va_start(arguments, format);
    log_pair("Leave ", format, arguments);
    va_end(arguments);
}

QuillRawLock* CLock::GetCriticalSection() {
    return &m_CriticalSection;
}
