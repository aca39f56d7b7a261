// CFile: a file handle that always writes at the end of its file.
#ifndef QUILLNTC_CFILE_H
#define QUILLNTC_CFILE_H

#include "NTCExport.h"

class QUILLNTC_API CFile {
public:
    CFile();
    // Does not close the file: copies share one handle and none owns it.
    virtual ~CFile();

    // Opens name for writing (others may read it), creating it when missing,
    // with the position at its end. Returns the handle, or the invalid handle
    // (-1) when name is null or the file cannot be opened; the stored handle
    // is changed only on success.
    void* Open(const char* name);
    // Writes the formatted text (at most 511 bytes) without its terminator.
    void Write(const char* format, ...) QUILLNTC_PRINTF(2, 3);
    // Writes size bytes; nothing for size 0.
    void Write(const void* data, unsigned int size);
    // Reads up to size bytes and returns the count read (0 after a failure).
    unsigned int Read(void* buffer, unsigned int size);
    // Deletes the named file; the object's own handle plays no part.
    void Remove(const char* name);
    // Closes a valid handle and forgets it; harmless when there is none.
    void Close();

    void* GetFileHandle();
    void SetFileHandle(void* handle);

private:
    void* m_hFile;
};

#endif
