// CDRVector: placeholder, filled in by its own change.
#ifndef QUILLNTC_CDRVECTOR_H
#define QUILLNTC_CDRVECTOR_H
#endif
