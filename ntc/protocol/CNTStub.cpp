#include "CNTStub.h"
