#include "quill/platform/locale.h"
