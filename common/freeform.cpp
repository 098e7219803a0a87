#include "freeform.h"
