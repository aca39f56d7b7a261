#include "transport/CNTPacket.h"
