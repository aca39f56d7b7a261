// CString: placeholder, filled in by its own change.
#ifndef QUILLNTC_CSTRING_H
#define QUILLNTC_CSTRING_H
#endif
