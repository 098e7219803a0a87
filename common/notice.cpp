#include "notice.h"
