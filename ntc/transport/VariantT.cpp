#include "transport/VariantT.h"
