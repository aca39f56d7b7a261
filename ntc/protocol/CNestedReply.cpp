#include "CNestedReply.h"
