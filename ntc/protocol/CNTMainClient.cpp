#include "CNTMainClient.h"
