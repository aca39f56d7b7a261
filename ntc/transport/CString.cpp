#include "transport/CString.h"
