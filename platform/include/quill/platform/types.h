// Windows type names that appear in the exported API of the network library.
// On Windows they come from the system headers; elsewhere this header defines
// them with the same layout, so records keep their sizes and field order.
#ifndef QUILL_PLATFORM_TYPES_H
#define QUILL_PLATFORM_TYPES_H

#ifdef _WIN32
// winsock2.h must come before windows.h, or windows.h pulls in the old
// winsock.h and a later winsock2.h no longer compiles.
#include <winsock2.h>
#include <windows.h>

// The record behind CLock: one critical section.
typedef CRITICAL_SECTION QuillRawLock;

#else
#include <pthread.h>
#include <stdint.h>

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t BOOL;
typedef void* HANDLE;
// Windows wide text is UTF-16 everywhere.
typedef char16_t WCHAR;

#ifndef INVALID_HANDLE_VALUE
#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)
#endif

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME;

typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME;

typedef struct _OVERLAPPED {
    uintptr_t Internal;
    uintptr_t InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
} OVERLAPPED;

// The record behind CLock: a recursive mutex.
typedef pthread_mutex_t QuillRawLock;

#endif

#endif
