#include "objects/CDRVector.h"
