// Placeholder.
#ifndef QUILL_PLATFORM_LOCALE_H
#define QUILL_PLATFORM_LOCALE_H
#endif
