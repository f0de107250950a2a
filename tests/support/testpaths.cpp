#include "support/testpaths.h"
