// VariantT: placeholder, filled in by its own change.
#ifndef QUILLNTC_VARIANTT_H
#define QUILLNTC_VARIANTT_H
#endif
