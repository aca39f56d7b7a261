#include "transport/CLock.h"

#include <stdarg.h>
#include <stdio.h>

#include <string>

#include "quill/platform/line_log.h"
#include "quill/platform/sync.h"
#include "transport/CDebug.h"

namespace {

// Takes the lock step, then writes the word and the formatted text as two
// lines of the network log: Enter logs once it holds the lock, Leave once
// it no longer holds others up.
void step_and_log(void (*step)(QuillRawLock*), QuillRawLock* lock, const char* word,
                  const char* format, va_list arguments) {
    step(lock);
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
    va_list arguments;
    va_start(arguments, format);
    step_and_log(qp::lock_enter, &m_CriticalSection, "Enter ", format, arguments);
    va_end(arguments);
}

void CLock::Leave(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    step_and_log(qp::lock_leave, &m_CriticalSection, "Leave ", format, arguments);
    va_end(arguments);
}

QuillRawLock* CLock::GetCriticalSection() {
    return &m_CriticalSection;
}
