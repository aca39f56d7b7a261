#include "objects/CNTVector.h"
