#include "transport/CPropCollection.h"
