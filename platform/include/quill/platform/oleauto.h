// Placeholder.
#ifndef QUILL_PLATFORM_OLEAUTO_H
#define QUILL_PLATFORM_OLEAUTO_H
#endif
