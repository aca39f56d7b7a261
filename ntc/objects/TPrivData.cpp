#include "objects/TPrivData.h"
