// COLEVariant: placeholder, filled in by its own change.
#ifndef QUILLNTC_COLEVARIANT_H
#define QUILLNTC_COLEVARIANT_H
#endif
