// CPropCollection: placeholder, filled in by its own change.
#ifndef QUILLNTC_CPROPCOLLECTION_H
#define QUILLNTC_CPROPCOLLECTION_H
#endif
