// CNTVector: placeholder, filled in by its own change.
#ifndef QUILLNTC_CNTVECTOR_H
#define QUILLNTC_CNTVECTOR_H
#endif
