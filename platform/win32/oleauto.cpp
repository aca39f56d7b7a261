// Windows provides the OLE Automation functions itself (oleaut32); this file
// only keeps the seam's source list the same on both targets.
#include "quill/platform/oleauto.h"
