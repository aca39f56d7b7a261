// CLock: the recursive lock of the network library.
#ifndef QUILLNTC_CLOCK_H
#define QUILLNTC_CLOCK_H

#include "NTCExport.h"
#include "quill/platform/types.h"

class QUILLNTC_API CLock {
public:
    CLock();
    ~CLock();
    // A copy is a new, unlocked lock of its own: a live critical section
    // cannot be duplicated byte for byte.
    CLock(const CLock& other);
    CLock& operator=(const CLock& other);

    // Blocks until the calling thread holds the lock; the owner may enter
    // again and must leave as often.
    void Enter();
    void Leave();
    // Enters, then writes "Enter " and the formatted text (at most 511
    // bytes) as two lines of the network log.
    void Enter(const char* format, ...) QUILLNTC_PRINTF(2, 3);
    // Leaves first, so others are not held up by the log, then writes
    // "Leave " and the formatted text as two lines of the network log.
    void Leave(const char* format, ...) QUILLNTC_PRINTF(2, 3);

    QuillRawLock* GetCriticalSection();

private:
    QuillRawLock m_CriticalSection;
};

#endif
