#include "transport/COLEVariant.h"
