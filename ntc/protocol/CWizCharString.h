// CWizCharString<N>: text of fixed capacity.
#ifndef QUILLNTC_PROTOCOL_CWIZCHARSTRING_H
#define QUILLNTC_PROTOCOL_CWIZCHARSTRING_H

#endif
