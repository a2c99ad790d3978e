#include "ExternalHelper.h"

int ExternalHelperAnswer() { return 42; }
