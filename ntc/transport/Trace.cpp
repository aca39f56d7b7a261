#include "transport/Trace.h"

void TRACE(const char*, ...) {}
