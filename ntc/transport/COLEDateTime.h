// COLEDateTime: placeholder, filled in by its own change.
#ifndef QUILLNTC_COLEDATETIME_H
#define QUILLNTC_COLEDATETIME_H
#endif
