#include "quill/platform/oleauto.h"
