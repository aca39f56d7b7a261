#include "transport/COLEDateTime.h"
