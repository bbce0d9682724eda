#include "high/high.h"  // upwards
