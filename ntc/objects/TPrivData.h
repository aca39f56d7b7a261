// TPrivData: placeholder, filled in by its own change.
#ifndef QUILLNTC_TPRIVDATA_H
#define QUILLNTC_TPRIVDATA_H
#endif
