#include "GameObjects.h"
