#include "CNTProxy_CLToGS.h"
