#include "transport/CFile.h"

#include <stdarg.h>
#include <stdio.h>

#include "quill/platform/file.h"
#include "transport/Trace.h"

CFile::CFile() : m_hFile(qp::kInvalidFile) {}

CFile::~CFile() {}

void* CFile::Open(const char* name) {
    if (!name)
        return qp::kInvalidFile;
    qp::FileHandle file = qp::file_open_append(name);
    if (file == qp::kInvalidFile) {
        TRACE("File Open Failed [%s]", name);
        return qp::kInvalidFile;
    }
    m_hFile = file;
    return file;
}

void CFile::Write(const char* format, ...) {
    if (!format)
        return;
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    const int length = vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (length <= 0)
        return;
    const unsigned int size = length < static_cast<int>(sizeof text)
                                  ? static_cast<unsigned int>(length)
                                  : sizeof text - 1;
    uint32_t written = 0;
    qp::file_write(m_hFile, text, size, &written);
}

void CFile::Write(const void* data, unsigned int size) {
    if (size == 0)
        return;
    uint32_t written = 0;
    if (!qp::file_write(m_hFile, data, size, &written)) {
        TRACE("Can't Write %d buffer\n", static_cast<int>(qp::last_error()));
        return;
    }
    if (written < size)
        TRACE("DiskFull! %s\n");
}

unsigned int CFile::Read(void* buffer, unsigned int size) {
    if (size == 0)
        return 0;
    uint32_t count = 0;
    if (!qp::file_read(m_hFile, buffer, size, &count)) {
        TRACE("Can't Read %d buffer\n", static_cast<int>(qp::last_error()));
        return 0;
    }
    return count;
}

void CFile::Remove(const char* name) {
    if (!name || !qp::delete_file(name))
        TRACE("Can't Remove %s File\n", name ? name : "");
}

void CFile::Close() {
    if (m_hFile == qp::kInvalidFile)
        return;
    qp::file_close(m_hFile);
    m_hFile = qp::kInvalidFile;
}

void* CFile::GetFileHandle() {
    return m_hFile;
}

void CFile::SetFileHandle(void* handle) {
    m_hFile = handle;
}
