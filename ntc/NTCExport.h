// Marks what the network library exports.
#ifndef QUILLNTC_EXPORT_H
#define QUILLNTC_EXPORT_H

#if defined(_WIN32)
#if defined(QUILLNTC_BUILD)
#define QUILLNTC_API __declspec(dllexport)
#elif defined(QUILLNTC_STATIC)
#define QUILLNTC_API
#else
#define QUILLNTC_API __declspec(dllimport)
#endif
#else
#define QUILLNTC_API __attribute__((visibility("default")))
#endif

// Lets the compiler check printf-style arguments. The positions count the
// implicit object argument of a member function as 1.
#if defined(__clang__)
#define QUILLNTC_PRINTF(format_index, first_arg)                                                   \
    __attribute__((format(printf, format_index, first_arg)))
#elif defined(__GNUC__)
#define QUILLNTC_PRINTF(format_index, first_arg)                                                   \
    __attribute__((format(gnu_printf, format_index, first_arg)))
#else
#define QUILLNTC_PRINTF(format_index, first_arg)
#endif

#endif
